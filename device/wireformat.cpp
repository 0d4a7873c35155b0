#include "wireformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// A stored whole number (a node address, a serial number) must reach the device exactly, and %g
// would round one of a million or more to six digits; below that both texts are the same.
QString formatJsonNumber(double value)
{
    constexpr double exactIntegerLimit = 9007199254740992.0; // 2^53
    if (std::trunc(value) == value && std::abs(value) < exactIntegerLimit)
        return QString::number(static_cast<qint64>(value));
    return WireFormat::formatNumber(value);
}

} // namespace

QByteArray WireFormat::commandLine(const QString &path, const QString &value, bool serial)
{
    QString line = path;
    if (!value.isEmpty()) {
        // All white space goes: ends trimmed, inner runs removed.
        line += QLatin1Char('=') + value.simplified().remove(QLatin1Char(' '));
    }
    if (serial)
        line += QLatin1String("\r\n");
    return line.toUtf8();
}

QString WireFormat::formatNumber(double value)
{
    // 'g' with six significant digits writes what printf's %g writes.
    return QString::number(value, 'g', 6);
}

QString WireFormat::formatValue(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Double:
        return formatJsonNumber(value.toDouble());
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return QString();
}
