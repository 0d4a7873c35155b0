#include "remotedevice.h"

#include "devicelog.h"
#include "parametervalidator.h"

#include <QJsonDocument>

void RemoteDevice::updateTool()
{
    qCDebug(lcDevice) << "updateTool()";
    m_toolIdRecord = sendCommand(QStringLiteral("/vkt/deviceId")).toObject();
    emit toolComChanged(m_toolIdRecord.isEmpty() ? 0 : 1);
}

bool RemoteDevice::hasDio() const
{
    return isConnected() && m_stateRecord.contains(QLatin1String("dioValue"));
}

int RemoteDevice::dioValue() const
{
    return wholeNumber(m_stateRecord.value(QLatin1String("dioValue")));
}

QJsonObject RemoteDevice::vktCfgObject()
{
    return sendCommand(QStringLiteral("/vkt/cfgObject")).toObject();
}

QJsonObject RemoteDevice::hbnCfgObject()
{
    return hasDio() ? sendCommand(QStringLiteral("/hbn/cfgObject")).toObject() : QJsonObject();
}

QJsonObject RemoteDevice::hbnModuleInfo()
{
    return hasDio() ? sendCommand(QStringLiteral("/hbn/anybus/moduleInfo")).toObject()
                    : QJsonObject();
}

void RemoteDevice::saveConfig()
{
    sendCommand(QStringLiteral("/saveConfig"));
    if (hasDio() && !m_toolIdRecord.isEmpty())
        sendCommand(QStringLiteral("/vkt/saveConfig"));
}

void RemoteDevice::sendConfigObject(const QJsonObject &object, const QString &prefix)
{
    // The unit system goes first so that every value after it is read in the right units.
    const QLatin1String unitsKey("metricUnits");
    if (object.contains(unitsKey))
        sendCommand(prefix + QLatin1String("/metricUnits"), formatValue(object.value(unitsKey)));

    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString path = prefix + QLatin1Char('/') + it.key();
        if (it.value().isObject())
            sendConfigObject(it.value().toObject(), path);
        else
            sendCommand(path, formatValue(it.value()));
    }
}

bool RemoteDevice::saveParameters(QIODevice *file)
{
    QJsonObject document;
    const QJsonObject vkt = vktCfgObject();
    if (vkt.isEmpty())
        return false;
    document.insert(QLatin1String("vkt"), vkt);
    if (hasDio()) {
        const QJsonObject hbn = hbnCfgObject();
        if (hbn.isEmpty())
            return false;
        document.insert(QLatin1String("hbn"), hbn);
    }
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    return file->write(text) == text.size();
}

bool RemoteDevice::loadParameters(QIODevice *file)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file->readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        return false;

    // Settled before anything is sent: the whole file is checked first, so a bad one leaves
    // nothing of itself active in the device.
    const bool needsHbn = hasDio();
    QString reason;
    if (!ParameterValidator::validate(document, needsHbn, &reason)) {
        qCDebug(lcDevice).noquote() << "Parameter file rejected: " + reason;
        return false;
    }

    const QJsonObject root = document.object();
    const auto sendRecord = [this, &root](const QString &record) {
        sendConfigObject(QJsonObject{{record, root.value(record)}}, QString());
    };
    sendRecord(QStringLiteral("vkt"));
    if (needsHbn)
        sendRecord(QStringLiteral("hbn"));
    // A link lost on the way means part of the file never reached the device.
    return isConnected();
}
