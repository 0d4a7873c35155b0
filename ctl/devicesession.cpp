#include "devicesession.h"

#include "ctllog.h"
#include "ctloutput.h"

bool DeviceSession::open(const QString &address)
{
    m_address = address;
    const bool opened = m_device.connectDevice(address);
    m_device.setPolling(false);
    if (opened && m_device.isConnected())
        return true;
    CtlOutput::error(tr("Error connecting to %1").arg(address));
    return false;
}

bool DeviceSession::exchange(const QString &path, const QString &value, QJsonValue *reply)
{
    *reply = m_device.sendCommand(path, value);
    if (!checkLink())
        return false;
    if (reply->isUndefined()) {
        CtlOutput::error(tr("%1: the device answered another command.").arg(path));
        return false;
    }
    // On the serial line a text that is no JSON keeps the line end before it.
    const QString text = reply->toString().trimmed();
    if (text.startsWith(QLatin1String("Error"))) {
        CtlOutput::error(QStringLiteral("%1: %2").arg(path, text));
        return false;
    }
    return true;
}

bool DeviceSession::checkLink()
{
    if (m_device.isConnected())
        return true;
    qCDebug(lcCtl) << "link lost";
    CtlOutput::error(tr("The link to %1 was lost: the device stopped answering.").arg(m_address));
    return false;
}
