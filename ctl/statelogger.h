#pragma once

#include "exitstatus.h"
#include "interruptwatcher.h"
#include "statewriter.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

class DeviceSession;

// The data logger: polls the state at the dashboard's pace (the next poll 300 ms after the
// previous one ended, so polls never overlap), writes one line per poll, and ends on SIGINT,
// SIGTERM, the end of the duration, or a poll that gets no state.
class StateLogger : public QObject
{
    Q_OBJECT

public:
    static constexpr int pollIntervalMs = 300;

    StateLogger(DeviceSession *session, StateWriter::Format format, QObject *parent = nullptr);

    // `durationS` 0 runs until interrupted.
    ExitStatus run(double durationS);

private:
    void poll();
    void writeState(const QJsonObject &state);
    void finish(ExitStatus status);

    DeviceSession *m_session;
    StateWriter m_writer;
    InterruptWatcher m_interrupts;
    QTimer m_pollTimer;
    QTimer m_durationTimer;
    QEventLoop m_loop;
    ExitStatus m_status = ExitStatus::Success;
};
