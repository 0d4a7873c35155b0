#pragma once

#include <QProcess>
#include <QStringList>

#include <functional>

// One vkt-sim for a test: started with --trace so that every command it receives can be checked,
// steered through control lines on its stdin, told to quit when the object goes. Every wait runs
// the event loop and is bounded.
class SimProcess
{
public:
    static constexpr int startWaitMs = 10000;
    static constexpr int replyWaitMs = 5000;

    SimProcess();
    ~SimProcess();

    // A loopback address of its own on every call, distinct between test processes, so that
    // tests running in parallel never meet on port 1993.
    static QString uniqueLoopbackAddress();
    static QStringList serialOnly() { return {"--serial", "--no-udp", "--no-tcp"}; }

    // True once the sim has reported "ready".
    bool start(const QStringList &arguments);
    QString serialPath() const { return m_serialPath; }
    QString address() const { return "usb://" + m_serialPath; }
    QString networkAddress() const { return "network://" + m_udpHost; }
    const QStringList &commands() const { return m_commands; }
    // Index of the first `command` at or after `from`; -1 if it does not come in time.
    int waitForCommand(const QString &command, int from = 0);
    // True once the line is acknowledged with "ok: ".
    bool control(const QString &line);
    void kill();
    qint64 pid() const { return m_process.processId(); }

private:
    bool waitUntil(const std::function<bool()> &done, int timeoutMs = replyWaitMs);
    void readOutput();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines; // every stdout line but the traced commands
    QStringList m_commands;
    QString m_serialPath;
    QString m_udpHost;
};
