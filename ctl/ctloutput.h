#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Results go to stdout, messages to stderr; each line is written at once so that a logger
// piped into another program shows every poll as it happens. A result that cannot be written
// (a reader gone, a full disk, a signal while the write waits for a reader) is reported, and the
// false it returns ends the run.
class CtlOutput
{
    Q_DECLARE_TR_FUNCTIONS(CtlOutput)

public:
    static bool line(const QString &text);
    static bool bytes(const QByteArray &data);
    // Messages are for a person: control characters in them are written out as \xHH.
    static void message(const QString &text);
    static void error(const QString &text);
};
