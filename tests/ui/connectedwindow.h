#pragma once

#include "mainwindow.h"
#include "modalanswerer.h"
#include "simprocess.h"

// A main window on a simulated device of its own, every message box answered with `answer`.
// The window goes first, so its disconnect still meets the device.
struct ConnectedWindow
{
    explicit ConnectedWindow(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : answerer(answer)
    {}

    // Connects over a pseudo-terminal.
    bool connect(const QStringList &simArguments)
    {
        return sim.start(SimProcess::serialOnly() + simArguments)
               && window.remoteDevice.connectDevice(sim.address());
    }

    // The commands sent from `from` on, without the state polls. A query nobody else sends
    // marks the end, so that everything sent before it has been seen.
    QStringList sentSince(int from)
    {
        const QString marker = QStringLiteral("/net/macAddress");
        const int markerFrom = sim.commands().size();
        window.remoteDevice.sendCommand(marker);
        const int end = sim.waitForCommand(marker, markerFrom);
        QStringList sent = sim.commands().mid(from, end - from);
        if (end < 0)
            sent << QStringLiteral("(marker lost)");
        sent.removeAll(QStringLiteral("/stateObject"));
        return sent;
    }

    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
};
