#include "ctlcommandline.h"
#include "ctloutput.h"
#include "subcommand.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <csignal>

int main(int argc, char *argv[])
{
    // Qt's sockets ignore SIGPIPE once the first is made; ignored from the start, a reader that
    // went away is a failed write, reported alike whatever the link.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vkt-ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKT_VERSION));
    // stderr is for the tool's own messages; QT_LOGGING_RULES still turns the debug lines on.
    QLoggingCategory::setFilterRules(QStringLiteral("vkt.*.debug=false"));

    CtlCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case CtlCommandLine::Outcome::Help:
        return int(CtlOutput::bytes(commandLine.helpText().toUtf8()) ? ExitStatus::Success
                                                                     : ExitStatus::DeviceFailure);
    case CtlCommandLine::Outcome::Version:
        return int(CtlOutput::line(QStringLiteral("vkt-ctl ") + QStringLiteral(VKT_VERSION))
                       ? ExitStatus::Success
                       : ExitStatus::DeviceFailure);
    case CtlCommandLine::Outcome::UsageError:
        CtlOutput::error(commandLine.errorText());
        CtlOutput::message(QCoreApplication::translate("main", "Try 'vkt-ctl --help'."));
        return int(ExitStatus::Usage);
    case CtlCommandLine::Outcome::Run:
        break;
    }
    const CtlRequest &request = commandLine.request();
    return int(Subcommand::find(request.command)->run(request));
}
