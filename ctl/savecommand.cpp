#include "savecommand.h"

#include "ctloutput.h"
#include "devicesession.h"

#include <QSaveFile>

ExitStatus SaveCommand::run(const CtlRequest &request)
{
    const QString fileName = request.arguments.constFirst();
    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        CtlOutput::error(tr("Error saving file! %1: %2").arg(fileName, file.errorString()));
        return ExitStatus::DeviceFailure;
    }
    if (!session.device().saveParameters(&file)) {
        const bool writeFailed = file.error() != QFileDevice::NoError;
        const QString reason = file.errorString();
        file.cancelWriting();
        if (writeFailed)
            CtlOutput::error(tr("Error saving file! %1: %2").arg(fileName, reason));
        else if (session.checkLink())
            CtlOutput::error(tr("Error reading configuration from device!"));
        return ExitStatus::DeviceFailure;
    }
    if (!file.commit()) {
        CtlOutput::error(tr("Error saving file! %1: %2").arg(fileName, file.errorString()));
        return ExitStatus::DeviceFailure;
    }
    return ExitStatus::Success;
}
