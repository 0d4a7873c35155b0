#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>

// "state [--watch [--csv|--json]] [--duration S]": one state record, or the data logger.
class StateCommand
{
    Q_DECLARE_TR_FUNCTIONS(StateCommand)

public:
    static ExitStatus run(const CtlRequest &request);
};
