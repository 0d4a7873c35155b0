#pragma once

#include "exitstatus.h"
#include "interruptwatcher.h"

#include <QEventLoop>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

class QIODevice;

// Joins stdin and stdout to a byte stream of the device, raw both ways. When stdin ends, what
// the device still sends is passed on until it has been quiet for a moment, so that a piped
// command gets its answer; the wait is bounded.
class TerminalBridge : public QObject
{
    Q_OBJECT

public:
    static constexpr int quietMs = 500;       // silence after the end of stdin that ends the run
    static constexpr int drainBoundMs = 5000; // longest wait for that silence

    explicit TerminalBridge(QIODevice *stream, QObject *parent = nullptr);

    ExitStatus run();
    // The stream is gone: the run ends, a failure unless stdin had already ended.
    void streamLost(const QString &reason);

private:
    void onStdinReadable();
    void onStreamReadable();
    void finish(ExitStatus status);

    QIODevice *m_stream;
    QSocketNotifier m_stdin;
    InterruptWatcher m_interrupts;
    QTimer m_quietTimer;
    QTimer m_drainTimer;
    QEventLoop m_loop;
    bool m_stdinEnded = false;
    ExitStatus m_status = ExitStatus::Success;
};
