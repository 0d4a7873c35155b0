#include "statecommand.h"

#include "commandtext.h"
#include "ctloutput.h"
#include "devicesession.h"
#include "statelogger.h"

ExitStatus StateCommand::run(const CtlRequest &request)
{
    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;
    if (request.watch) {
        StateLogger logger(&session,
                           request.csv ? StateLogger::Format::Csv : StateLogger::Format::JsonLines);
        return logger.run(request.durationS);
    }
    const QJsonObject state = session.device().stateRecord();
    if (state.isEmpty()) {
        CtlOutput::error(tr("The device sent no state."));
        return ExitStatus::DeviceFailure;
    }
    return CtlOutput::line(CommandText::compactJson(state)) ? ExitStatus::Success
                                                            : ExitStatus::DeviceFailure;
}
