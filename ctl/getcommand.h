#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>

// "get PATH...": each value as compact JSON, one line per path, in the order asked.
class GetCommand
{
    Q_DECLARE_TR_FUNCTIONS(GetCommand)

public:
    static ExitStatus run(const CtlRequest &request);
};
