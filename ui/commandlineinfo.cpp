#include "commandlineinfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

CommandLineInfo::Request CommandLineInfo::requested(int argc, char *argv[])
{
    if (argc < 2)
        return Request::None;
    const char *first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0)
        return Request::Help;
    if (std::strcmp(first, "--version") == 0 || std::strcmp(first, "-v") == 0)
        return Request::Version;
    return Request::None;
}

QString CommandLineInfo::text(Request request)
{
    switch (request) {
    case Request::Help: {
        QCommandLineParser parser;
        parser.setApplicationDescription(QCoreApplication::translate(
            "CommandLineInfo",
            "Runs and configures a VKT force-controlled actuator or an HBN force-control unit.\n"
            "Without an address the dashboard starts disconnected."));
        // Qt's own help option would also list --help-all, which is not answered.
        parser.addOption(QCommandLineOption(
            {QStringLiteral("h"), QStringLiteral("help")},
            QCoreApplication::translate("CommandLineInfo", "Displays this help.")));
        parser.addVersionOption();
        parser.addPositionalArgument(
            QStringLiteral("address"),
            QCoreApplication::translate("CommandLineInfo",
                                        "The device to connect to: usb://PORT or network://HOST."),
            QStringLiteral("[address]"));
        return parser.helpText();
    }
    case Request::Version:
        return QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                             QCoreApplication::applicationVersion());
    case Request::None:
        break;
    }
    return QString();
}
