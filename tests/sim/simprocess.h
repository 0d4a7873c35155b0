#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// A running vkt-sim for a test: started with the given options, its stdout collected line by
// line, its control channel on stdin. Stopped with "quit" when the object goes.
class SimProcess
{
public:
    static constexpr int startWaitMs = 10000;
    static constexpr int replyWaitMs = 3000;

    explicit SimProcess(const QStringList &arguments);
    ~SimProcess();

    // Waits for "ready"; false when the sim exits first or does not get there in time.
    bool start();
    QString valueOf(const QString &prefix) const; // "serial: /dev/pts/3" -> "/dev/pts/3"
    bool hasLine(const QString &line) const;
    QStringList output() const { return lines; }
    bool waitForLine(const QString &line, int timeoutMs = replyWaitMs);
    // Sends a control line and waits for its acknowledgement; true for "ok: ".
    bool control(const QString &line);
    // Ends the sim with "quit"; returns its exit code, or -1 when it had to be killed.
    int quit();

    QProcess process;

private:
    void collect();

    QByteArray pending;
    QStringList lines;
};
