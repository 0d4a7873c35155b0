#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>

// "save FILE": the dashboard's parameter file, complete or not written at all; a file that
// was there before stays as it was when anything fails.
class SaveCommand
{
    Q_DECLARE_TR_FUNCTIONS(SaveCommand)

public:
    static ExitStatus run(const CtlRequest &request);
};
