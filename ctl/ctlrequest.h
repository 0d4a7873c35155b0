#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, checked for form but not yet for meaning.
struct CtlRequest
{
    QString address; // empty for commands that need no device
    QString command;
    QStringList arguments;
    bool save = false;
    bool watch = false;
    bool csv = false;
    bool dryRun = false;
    bool json = false;
    double durationS = 0; // 0: until interrupted
    int waitMs = 0;       // 0: the command's own default
};
