#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "parameterimport.h"
#include "statevalue.h"

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
    return StateValue::dioWord(m_stateRecord.value(RecordKey::dioValue));
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
    return hasDio() ? sendCommand(DevicePath::hbnModuleInfo).toObject() : QJsonObject();
}

void RemoteDevice::saveConfig()
{
    sendCommand(DevicePath::saveConfig);
    if (hasDio() && !m_toolIdRecord.isEmpty())
        sendCommand(DevicePath::vktSaveConfig);
}

bool RemoteDevice::saveParameters(QIODevice *file)
{
    // Whether the unit also carries the HBN record is known from its state alone: a backup
    // made before a state has come in could lack that record and still look complete.
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
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    return file->write(text) == text.size();
}

bool RemoteDevice::loadParameters(QIODevice *file, QStringList *refused)
{
    const ParameterImport::Plan plan = ParameterImport::plan(file, hasDio());
    if (!plan.isAccepted()) {
        qCDebug(lcDevice).noquote() << "Parameter file rejected: " + plan.rejection;
        return false;
    }
    // Every answer is read as the weighing's is: a refused value leaves the rest to be sent,
    // but nothing is to be stored.
    QStringList refusals;
    for (const ParameterImport::Command &command : plan.commands) {
        if (!isConnected())
            break;
        const QString answer = sendCommand(command.path, command.value).toString();
        if (answer.contains(QLatin1String("Error")))
            refusals << command.path + QLatin1String(": ") + answer.trimmed();
    }
    if (refused)
        *refused = refusals;
    // A link lost on the way means part of the file never reached the device.
    return isConnected() && refusals.isEmpty();
}
