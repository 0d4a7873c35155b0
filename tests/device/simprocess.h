#pragma once

#include <QProcess>
#include <QStringList>

// Runs the simulated device for one test: starts it, waits until it listens, steers it through
// its control lines and collects the commands it traces.
class SimProcess
{
public:
    explicit SimProcess(const QString &program);
    ~SimProcess();

    // Starts with `arguments` (tracing on) and waits for "ready".
    bool start(const QStringList &arguments);
    QString serialPath() const { return m_serialPath; }

    // Sends one control line and waits for its acknowledgement.
    bool control(const QString &line);
    // Commands traced so far, without the "command: " prefix; waits until at least `count`.
    QStringList commands(int count = 0);
    // Commands traced so far, once `last` is among them (or the wait has run out).
    QStringList commandsUntil(const QString &last);
    void kill();

private:
    bool waitForLine(const QString &line);
    QStringList tracedCommands();
    void readLines();

    QString m_program;
    QProcess m_process;
    QString m_serialPath;
    QStringList m_lines;
};
