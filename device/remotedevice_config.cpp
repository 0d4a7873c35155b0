#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "parametervalidator.h"

#include <QJsonDocument>

void RemoteDevice::updateTool()
{
    qCDebug(lcDevice) << "updateTool()";
    m_toolIdRecord = sendCommand(DevicePath::toolDeviceId).toObject();
    emit toolComChanged(m_toolIdRecord.isEmpty() ? 0 : 1);
}

bool RemoteDevice::hasDio() const
{
    return isConnected() && m_stateRecord.contains(RecordKey::dioValue);
}

quint32 RemoteDevice::dioValue() const
{
    return dioWord(m_stateRecord.value(RecordKey::dioValue));
}

QJsonObject RemoteDevice::vktCfgObject()
{
    return sendCommand(DevicePath::vktCfgObject).toObject();
}

QJsonObject RemoteDevice::hbnCfgObject()
{
    return hasDio() ? sendCommand(DevicePath::hbnCfgObject).toObject() : QJsonObject();
}

QJsonObject RemoteDevice::hbnModuleInfo()
{
    return hasDio() ? sendCommand(DevicePath::hbnModuleInfo).toObject()
                    : QJsonObject();
}

void RemoteDevice::saveConfig()
{
    sendCommand(DevicePath::saveConfig);
    if (hasDio() && !m_toolIdRecord.isEmpty())
        sendCommand(DevicePath::vktSaveConfig);
}

void RemoteDevice::sendConfigObject(const QJsonObject &object, const QString &prefix)
{
    // The unit system goes first so that every value after it is read in the right units.
    if (object.contains(RecordKey::metricUnits)) {
        sendCommand(prefix + QLatin1Char('/') + RecordKey::metricUnits,
                    formatValue(object.value(RecordKey::metricUnits)));
    }

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
    document.insert(RecordKey::vktRecord, vkt);
    if (hasDio()) {
        const QJsonObject hbn = hbnCfgObject();
        if (hbn.isEmpty())
            return false;
        document.insert(RecordKey::hbnRecord, hbn);
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
    sendRecord(RecordKey::vktRecord);
    if (needsHbn)
        sendRecord(RecordKey::hbnRecord);
    // A link lost on the way means part of the file never reached the device.
    return isConnected();
}
