#include "parameterimport.h"

#include "devicevocabulary.h"
#include "remotedevice.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

// The JSON type each known key of the configuration records takes.
enum class KeyType { Integer, Number, Address, Object };

bool hasRightType(const QString &key, const QJsonValue &value)
{
    static const QHash<QString, KeyType> types{
        {RecordKey::metricUnits, KeyType::Integer},
        {RecordKey::initialWeigh, KeyType::Integer},
        {RecordKey::initialMode, KeyType::Integer},
        {RecordKey::softTouchEnabled, KeyType::Integer},
        {RecordKey::dhcp, KeyType::Integer},
        {RecordKey::timeout, KeyType::Integer},
        {RecordKey::nodeId, KeyType::Integer},
        {RecordKey::baudRate, KeyType::Integer},
        {RecordKey::initialForce, KeyType::Number},
        {RecordKey::payloadWeight, KeyType::Number},
        {RecordKey::initialPosition, KeyType::Number},
        {RecordKey::posLimitPosition, KeyType::Number},
        {RecordKey::negLimitPosition, KeyType::Number},
        {RecordKey::softTouchForce, KeyType::Number},
        {RecordKey::softTouchPosition, KeyType::Number},
        {RecordKey::ipAddress, KeyType::Address},
        {RecordKey::netMask, KeyType::Address},
        {RecordKey::gateway, KeyType::Address},
        {RecordKey::net, KeyType::Object},
        {RecordKey::anybus, KeyType::Object},
    };
    const auto it = types.constFind(key);
    if (it == types.constEnd())
        return true; // unknown keys are the device's business
    switch (*it) {
    case KeyType::Integer:
        return value.isDouble() || value.isBool();
    case KeyType::Number:
        return value.isDouble();
    case KeyType::Address:
        return value.isString();
    case KeyType::Object:
        return value.isObject();
    }
    return false;
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Only what could change the meaning of a command line is refused: a key becomes one step of
// a path, so it may not be empty, split the path or the assignment, or end the line.
bool isKeyValid(const QString &key)
{
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        if (c.category() == QChar::Other_Control || c.isSpace() || c == QLatin1Char('=')
            || c == QLatin1Char('/'))
            return false;
    }
    return true;
}

// Levels of nesting inside `value` itself: 0 for a plain value, 1 for an object of plain values.
int depthOf(const QJsonValue &value)
{
    int inner = 0;
    if (value.isArray()) {
        for (const QJsonValue &element : value.toArray())
            inner = qMax(inner, depthOf(element));
        return inner + 1;
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            inner = qMax(inner, depthOf(it.value()));
        return inner + 1;
    }
    return 0;
}

bool isValueValid(const QJsonValue &value)
{
    if (value.isString())
        return !hasControlCharacter(value.toString());
    if (value.isArray()) {
        for (const QJsonValue &element : value.toArray()) {
            if (!isValueValid(element))
                return false;
        }
    }
    return true;
}

// The first reason to refuse one record's keys and values; empty when there is none.
QString checkRecord(const QJsonObject &object)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString &key = it.key();
        const QJsonValue value = it.value();
        if (!isKeyValid(key))
            return QStringLiteral("bad key \"%1\"").arg(key);
        if (value.isNull())
            continue;
        if (!hasRightType(key, value))
            return QStringLiteral("wrong type for \"%1\"").arg(key);
        const QString reason = value.isObject() ? checkRecord(value.toObject())
                : isValueValid(value)           ? QString()
                                                : QStringLiteral("control character in \"%1\"").arg(key);
        if (!reason.isEmpty())
            return reason;
    }
    return QString();
}

QString checkLines(const QVector<ParameterCommand> &commands)
{
    for (const ParameterCommand &command : commands) {
        const qint64 bytes = command.path.toUtf8().size() + 1 + command.value.toUtf8().size();
        if (bytes > ParameterImport::maxLineBytes)
            return QStringLiteral("command line of %1 bytes for %2").arg(bytes).arg(command.path);
    }
    return QString();
}

ParameterImport::Result rejected(const QString &reason)
{
    return ParameterImport::Result{{}, reason};
}

} // namespace

ParameterImport::Result ParameterImport::commandsFor(const QByteArray &text, bool needsHbn)
{
    if (text.size() > maxFileBytes)
        return rejected(QStringLiteral("file over %1 bytes").arg(maxFileBytes));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return rejected(QStringLiteral("not JSON: ") + error.errorString());
    if (!document.isObject())
        return rejected(QStringLiteral("root is not an object"));
    const QJsonObject root = document.object();
    if (depthOf(root) > maxDepth)
        return rejected(QStringLiteral("nested deeper than %1 levels").arg(maxDepth));

    QStringList records{RecordKey::vktRecord};
    if (needsHbn)
        records.append(RecordKey::hbnRecord);
    Result result;
    for (const QString &name : records) {
        const QJsonObject record = root.value(name).toObject();
        if (record.isEmpty())
            return rejected(QStringLiteral("record \"%1\" missing or empty").arg(name));
        const QString reason = checkRecord(record);
        if (!reason.isEmpty())
            return rejected(reason);
        result.commands += settingsFor(record, QLatin1Char('/') + name);
    }
    const QString reason = checkLines(result.commands);
    return reason.isEmpty() ? result : rejected(reason);
}

QVector<ParameterCommand> ParameterImport::settingsFor(const QJsonObject &object,
                                                       const QString &prefix)
{
    QVector<ParameterCommand> commands;
    const QJsonValue units = object.value(RecordKey::metricUnits);
    if (!units.isUndefined() && !units.isNull()) {
        commands.append({prefix + QLatin1Char('/') + RecordKey::metricUnits,
                         RemoteDevice::formatValue(units)});
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString path = prefix + QLatin1Char('/') + it.key();
        if (it.value().isObject())
            commands += settingsFor(it.value().toObject(), path);
        else if (!it.value().isNull())
            commands.append({path, RemoteDevice::formatValue(it.value())});
    }
    return commands;
}
