#include "commandservice.h"

#include "faultinjector.h"
#include "simcommand.h"
#include "simdevice.h"
#include "stdoutwriter.h"

#include <QJsonObject>

CommandService::CommandService(SimDevice *device, FaultInjector *faults, bool trace)
    : m_device(device)
    , m_faultInjector(faults)
    , m_trace(trace)
{}

std::optional<SimAnswer> CommandService::process(const QString &command)
{
    if (m_trace)
        StdoutWriter::line(QStringLiteral("command: ") + command);
    if (m_faultInjector->isSilent())
        return std::nullopt;
    m_faultInjector->countCommand();
    if (m_faultInjector->hangsUp())
        return std::nullopt;
    const SimAnswer answer = m_device->handle(command);
    if (m_faultInjector->dropsReply())
        return std::nullopt;
    if (m_faultInjector->spoilsState()
        && SimCommand(command).path() == QLatin1String("/stateObject"))
        return SimAnswer::text(QStringLiteral("busy"));
    return answer;
}

QString CommandService::greeting() const
{
    const QJsonObject id = m_device->handle(QStringLiteral("/deviceId")).value().toObject();
    return QStringLiteral("%1 (%2) terminal")
        .arg(id.value(QStringLiteral("deviceName")).toString(),
             id.value(QStringLiteral("modelName")).toString());
}
