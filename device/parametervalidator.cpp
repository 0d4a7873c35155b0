#include "parametervalidator.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

bool reject(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

} // namespace

bool ParameterValidator::validate(const QJsonDocument &document, bool needsHbn, QString *reason)
{
    if (!document.isObject())
        return reject(reason, QStringLiteral("root is not an object"));
    const QJsonObject root = document.object();
    if (!isRecordValid(root.value(QLatin1String("vkt")), reason))
        return false;
    return !needsHbn || isRecordValid(root.value(QLatin1String("hbn")), reason);
}

bool ParameterValidator::isRecordValid(const QJsonValue &record, QString *reason)
{
    if (!record.isObject() || record.toObject().isEmpty())
        return reject(reason, QStringLiteral("record missing or empty"));
    return isValueValid(record, reason);
}

bool ParameterValidator::isValueValid(const QJsonValue &value, QString *reason)
{
    if (value.isString() && hasControlCharacter(value.toString()))
        return reject(reason, QStringLiteral("control character in a value"));
    if (value.isArray()) {
        for (const QJsonValue &element : value.toArray()) {
            if (!isValueValid(element, reason))
                return false;
        }
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!isKeyValid(it.key()))
                return reject(reason, QStringLiteral("bad key \"%1\"").arg(it.key()));
            if (!isValueValid(it.value(), reason))
                return false;
        }
    }
    return true;
}

bool ParameterValidator::isKeyValid(const QString &key)
{
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                        || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                        || c == QLatin1Char('_') || c == QLatin1Char('-');
        if (!ok)
            return false;
    }
    return true;
}

bool ParameterValidator::hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}
