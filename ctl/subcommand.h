#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QStringList>

#include <vector>

// One subcommand: its name, the form of its arguments, the options it takes, and the function
// that runs it. The command line checks a request against this before anything is opened.
struct Subcommand
{
    QString name;
    QString synopsis;
    bool needsAddress = true;
    int minArguments = 0;
    int maxArguments = 0; // -1: any number
    QStringList options;
    ExitStatus (*run)(const CtlRequest &request) = nullptr;

    static const std::vector<Subcommand> &all();
    static const Subcommand *find(const QString &name);
};
