#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

#include <functional>

// One vkt-sim for a test: started with --trace so every command it receives can be checked,
// steered through its control lines on stdin, told to quit when the object goes. Every wait
// runs the event loop and is bounded.
class SimProcess : public QObject
{
    Q_OBJECT

public:
    static constexpr int startWaitMs = 10000;
    static constexpr int replyWaitMs = 5000;

    explicit SimProcess(QObject *parent = nullptr);
    ~SimProcess() override;

    // A loopback address of its own on every call, distinct between test processes, so that
    // tests running in parallel never meet on port 1993.
    static QString uniqueLoopbackAddress();
    static QStringList serialOnly() { return {"--serial", "--no-udp", "--no-tcp"}; }

    // Starts the sim with `arguments` (and --trace); true once it has reported "ready".
    bool start(const QStringList &arguments);

    QString serialPath() const { return m_serialPath; }
    QString address() const { return QStringLiteral("usb://") + m_serialPath; }
    QString networkAddress() const { return QStringLiteral("network://") + m_udpHost; }

    // Every command received so far, oldest first, without the "command: " prefix.
    const QStringList &commands() const { return m_commands; }
    // Index of the first `command` at or after `from`; -1 if it does not come in time.
    int waitForCommand(const QString &command, int from = 0);

    // Sends one control line; true once it is acknowledged with "ok: ", false on "error: ".
    bool control(const QString &line);

    // Ends the sim with "quit": its exit code, or -1 when it had to be killed.
    int quit();
    void kill();
    QProcess &process() { return m_process; }

private:
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    void readOutput();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines; // every stdout line but the traced commands
    QStringList m_commands;
    QString m_serialPath;
    QString m_udpHost;
};
