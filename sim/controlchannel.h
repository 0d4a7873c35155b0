#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class FaultInjector;
class QSocketNotifier;
class SimDevice;
class TcpTerminal;

// Operator control lines on standard input ("inputs 5", "tool off", "silent on", "payload 2.5",
// "state controlMode 5", "terminal drop", "reboot", "quit"), each acknowledged on standard output
// with "ok: " or "error: " and the line.
class ControlChannel : public QObject
{
    Q_OBJECT

public:
    // `terminal` may be null: a sim without its TCP terminal refuses "terminal drop".
    ControlChannel(SimDevice *device, FaultInjector *faults, TcpTerminal *terminal,
                   QObject *parent = nullptr);

    // Public so the control language can be tried without a process.
    bool execute(const QString &line);

private:
    void onReadable();
    bool setState(const QString &arguments);

    SimDevice *m_device = nullptr;
    FaultInjector *m_faults = nullptr;
    TcpTerminal *m_terminal = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_buffer;
};
