#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

// One simulated device (vkt-sim) for a test: started with --trace so that every command it
// receives can be checked, and steered through its control lines on stdin.
class SimProcess : public QObject
{
    Q_OBJECT

public:
    explicit SimProcess(QObject *parent = nullptr);
    ~SimProcess() override;

    // Starts the simulator on a pseudo-terminal, plus `arguments`; true once it is ready.
    bool start(const QStringList &arguments = {});

    QString address() const { return QStringLiteral("usb://") + m_serialPath; }

    // Sends one control line and waits for its acknowledgement.
    bool control(const QString &line);

    // Every command received so far, oldest first.
    const QStringList &commands() const { return m_commands; }

    // Index of the first `command` received at or after `from`, waiting for it; -1 if it
    // does not arrive in time.
    int waitForCommand(const QString &command, int from = 0, int timeoutMs = 5000);

private:
    void readOutput();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
    QStringList m_commands;
    QString m_serialPath;
};
