#pragma once

#include "ctlrequest.h"

#include <QCommandLineParser>
#include <QCoreApplication>

struct Subcommand;

// The tool's command line: global options, the device address, the subcommand and its
// arguments, checked against the subcommand table so that a misspelt call opens nothing.
class CtlCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CtlCommandLine)

public:
    enum class Outcome { Run, Help, Version, UsageError };

    CtlCommandLine();

    Outcome parse(const QStringList &arguments);
    const CtlRequest &request() const { return m_request; }
    QString errorText() const { return m_errorText; }
    QString helpText() const;

private:
    Outcome usageError(const QString &text);
    QString checkOptions(const Subcommand &subcommand) const;
    bool readNumbers();

    QCommandLineParser m_parser;
    QCommandLineOption m_save{QStringLiteral("save"),
                              tr("set: store the configuration afterwards.")};
    QCommandLineOption m_watch{QStringLiteral("watch"),
                               tr("state: one line per poll until interrupted.")};
    QCommandLineOption m_csv{QStringLiteral("csv"), tr("state --watch: CSV with a header row.")};
    QCommandLineOption m_json{QStringLiteral("json"), tr("state --watch: JSON lines (the default); "
                                                         "discover: JSON.")};
    QCommandLineOption m_duration{QStringLiteral("duration"),
                                  tr("state --watch: stop after S seconds."), QStringLiteral("S")};
    QCommandLineOption m_dryRun{QStringLiteral("dry-run"),
                                tr("load: compare file and device, send nothing.")};
    QCommandLineOption m_wait{QStringLiteral("wait"), tr("discover: how long to listen, in ms."),
                              QStringLiteral("MS")};
    CtlRequest m_request;
    QString m_errorText;
};
