#include "getcommand.h"

#include "commandtext.h"
#include "ctloutput.h"
#include "devicesession.h"

ExitStatus GetCommand::run(const CtlRequest &request)
{
    for (const QString &path : request.arguments) {
        if (!CommandText::isPath(path)) {
            CtlOutput::error(tr("\"%1\" is not a path to ask for.").arg(path));
            return ExitStatus::Usage;
        }
    }
    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;
    for (const QString &path : request.arguments) {
        QJsonValue value;
        if (!session.exchange(path, QString(), &value))
            return ExitStatus::DeviceFailure;
        if (!CtlOutput::line(CommandText::compactJson(value)))
            return ExitStatus::DeviceFailure;
    }
    return ExitStatus::Success;
}
