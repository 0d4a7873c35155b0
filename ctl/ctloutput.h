#pragma once

#include <QByteArray>
#include <QString>

// Results go to stdout, messages to stderr; each line is flushed at once so that a logger
// piped into another program shows every poll as it happens.
class CtlOutput
{
public:
    static void line(const QString &text);
    static void bytes(const QByteArray &data);
    static void message(const QString &text);
    static void error(const QString &text);
};
