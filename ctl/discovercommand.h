#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>

// "discover [--json] [--wait MS]": the devices one discovery pass finds, as a table of name,
// type and address, or as JSON.
class DiscoverCommand
{
    Q_DECLARE_TR_FUNCTIONS(DiscoverCommand)

public:
    static constexpr int defaultWaitMs = 2000;

    static ExitStatus run(const CtlRequest &request);
};
