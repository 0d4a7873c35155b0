#include "ctlcommandline.h"
#include "ctloutput.h"
#include "subcommand.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vkt-ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKT_VERSION));
    // stderr is for the tool's own messages; QT_LOGGING_RULES still turns the debug lines on.
    QLoggingCategory::setFilterRules(QStringLiteral("vkt.*.debug=false"));

    CtlCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case CtlCommandLine::Outcome::Help:
        CtlOutput::bytes(commandLine.helpText().toUtf8());
        return int(ExitStatus::Success);
    case CtlCommandLine::Outcome::Version:
        CtlOutput::line(QStringLiteral("vkt-ctl ") + QStringLiteral(VKT_VERSION));
        return int(ExitStatus::Success);
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
