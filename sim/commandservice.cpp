#include "commandservice.h"

#include "faultinjector.h"
#include "simcommand.h"
#include "simdevice.h"
#include "stdoutwriter.h"

#include <QJsonObject>

CommandService::CommandService(SimDevice *device, FaultInjector *faults, bool trace)
    : device(device)
    , faultInjector(faults)
    , trace(trace)
{}

std::optional<SimAnswer> CommandService::process(const QString &command)
{
    if (trace)
        StdoutWriter::line(QStringLiteral("command: ") + command);
    if (faultInjector->isSilent())
        return std::nullopt;
    faultInjector->countCommand();
    if (faultInjector->hangsUp())
        return std::nullopt;
    const SimAnswer answer = device->handle(command);
    if (faultInjector->dropsReply())
        return std::nullopt;
    if (faultInjector->spoilsState() && SimCommand(command).path() == QLatin1String("/stateObject"))
        return SimAnswer::text(QStringLiteral("busy"));
    return answer;
}

QString CommandService::greeting() const
{
    const QJsonObject id = device->handle(QStringLiteral("/deviceId")).value().toObject();
    return QStringLiteral("%1 (%2) terminal")
        .arg(id.value(QStringLiteral("deviceName")).toString(),
             id.value(QStringLiteral("modelName")).toString());
}
