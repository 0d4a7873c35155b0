#include "savecommand.h"

#include "ctloutput.h"
#include "devicesession.h"
#include "safefile.h"

#include <QBuffer>

ExitStatus SaveCommand::run(const CtlRequest &request)
{
    const QString fileName = request.arguments.constFirst();
    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;

    QBuffer document;
    document.open(QIODevice::WriteOnly | QIODevice::Text);
    if (!session.device().saveParameters(&document)) {
        if (session.checkLink())
            CtlOutput::error(tr("Error reading configuration from device!"));
        return ExitStatus::DeviceFailure;
    }
    QString reason;
    if (!SafeFile::write(fileName, document.data(), &reason)) {
        CtlOutput::error(tr("Error saving file! %1: %2").arg(fileName, reason));
        return ExitStatus::DeviceFailure;
    }
    return ExitStatus::Success;
}
