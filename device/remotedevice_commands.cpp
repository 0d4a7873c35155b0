#include "remotedevice.h"

#include "devicevocabulary.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

QString RemoteDevice::formatNumber(double value)
{
    // 'g' with six significant digits writes what printf's %g writes.
    return QString::number(value, 'g', 6);
}

// A stored whole number (a node address, a serial number) must reach the device exactly, and %g
// would round one of a million or more to six digits; below that both texts are the same.
static QString formatJsonNumber(double value)
{
    constexpr double exactIntegerLimit = 9007199254740992.0; // 2^53
    if (std::trunc(value) == value && std::abs(value) < exactIntegerLimit)
        return QString::number(static_cast<qint64>(value));
    return RemoteDevice::formatNumber(value);
}

QString RemoteDevice::formatValue(const QJsonValue &value)
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

void RemoteDevice::commandForce(double value)
{
    sendCommand(DevicePath::commandForce, formatNumber(value));
}

void RemoteDevice::commandPosition(double value)
{
    sendCommand(DevicePath::commandPosition, formatNumber(value));
}

void RemoteDevice::payloadWeight(double value)
{
    sendCommand(DevicePath::payloadWeight, formatNumber(value));
}

void RemoteDevice::controlMode(int mode)
{
    sendCommand(DevicePath::controlMode, QString::number(mode));
}

void RemoteDevice::weighPayload()
{
    const QString reply = sendCommand(DevicePath::weighPayload).toString();
    if (reply.contains(QLatin1String("Error")))
        emit weighError(reply);
}

void RemoteDevice::updateFirmware()
{
    sendCommand(DevicePath::flashFirmware);
}
