#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "parameterimport.h"

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
    sendCommands(ParameterImport::settingsFor(object, prefix));
}

void RemoteDevice::sendCommands(const QVector<ParameterCommand> &commands)
{
    for (const ParameterCommand &command : commands) {
        if (!isConnected())
            return;
        sendCommand(command.path, command.value);
    }
}

// A backup is whole or not at all: without a state on this link there is no telling whether the
// device is an HBN unit, and a link lost on the way may have cut a record short.
bool RemoteDevice::saveParameters(QIODevice *file)
{
    if (!isConnected() || m_stateRecord.isEmpty())
        return false;
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
    if (!isConnected())
        return false;
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    return file->write(text) == text.size();
}

bool RemoteDevice::loadParameters(QIODevice *file)
{
    // Settled before anything is sent: the whole file is checked first, so a bad one leaves
    // nothing of itself active in the device. Reading stops just past the size bound.
    const ParameterImport::Result import =
            ParameterImport::commandsFor(file->read(ParameterImport::maxFileBytes + 1), hasDio());
    if (!import.isAccepted()) {
        qCDebug(lcDevice).noquote() << "Parameter file rejected: " + import.rejection;
        return false;
    }
    sendCommands(import.commands);
    // A link lost on the way means part of the file never reached the device.
    return isConnected();
}
