#include "devicesession.h"

#include "ctllog.h"
#include "ctloutput.h"
#include "printabletext.h"

namespace {

constexpr int answerLimitChars = 200; // of a device's answer in a message

QString withReason(const QString &text, const QString &reason)
{
    return reason.isEmpty() ? text : text + QLatin1String(": ") + reason;
}

} // namespace

bool DeviceSession::open(const QString &address)
{
    m_address = address;
    const bool opened = m_device.connectDevice(address);
    m_device.setPolling(false);
    if (opened && m_device.isConnected())
        return true;
    CtlOutput::error(withReason(tr("Error connecting to %1").arg(address), m_device.linkError()));
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
        CtlOutput::error(
            QStringLiteral("%1: %2").arg(path, PrintableText::of(text, answerLimitChars)));
        return false;
    }
    return true;
}

bool DeviceSession::checkLink()
{
    if (m_device.isConnected())
        return true;
    qCDebug(lcCtl) << "link lost";
    CtlOutput::error(withReason(tr("The link to %1 was lost").arg(m_address), m_device.linkError())
                     + QLatin1Char('.'));
    return false;
}
