#include "commandlineinfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

CommandLineInfo::Request CommandLineInfo::requested(int argc, char *argv[])
{
    if (argc < 2)
        return Request::None;
    if (std::strcmp(argv[1], "--help") == 0)
        return Request::Help;
    if (std::strcmp(argv[1], "--version") == 0)
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
        parser.addHelpOption();
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
