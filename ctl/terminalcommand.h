#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>

// "terminal": the raw terminal, over the link's serial port or TCP port 23 of the device.
class TerminalCommand
{
    Q_DECLARE_TR_FUNCTIONS(TerminalCommand)

public:
    // As long as the dashboard's console waits for its connection.
    static constexpr int tcpConnectWaitMs = 3000;

    static ExitStatus run(const CtlRequest &request);
};
