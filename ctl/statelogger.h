#pragma once

#include "exitstatus.h"
#include "interruptwatcher.h"
#include "statecsvformat.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <optional>

class DeviceSession;

// The data logger: polls the state at the dashboard's pace (the next poll 300 ms after the
// previous one ended, so polls never overlap), writes one line per poll, and ends on SIGINT,
// SIGTERM, the end of the duration, or a poll that gets no state. Its CSV is the dashboard's
// recording format, events included.
class StateLogger : public QObject
{
    Q_OBJECT

public:
    static constexpr int pollIntervalMs = 300;
    enum class Format { JsonLines, Csv };

    StateLogger(DeviceSession *session, Format format, QObject *parent = nullptr);

    // `durationS` 0 runs until interrupted.
    ExitStatus run(double durationS);

private:
    void poll();
    void writeState(const QJsonObject &state);
    QByteArray csvLines(const QJsonObject &state);
    static QByteArray jsonLine(const QJsonObject &state);
    void finish(ExitStatus status);

    DeviceSession *m_session;
    Format m_format;
    InterruptWatcher m_interrupts;
    QTimer m_pollTimer;
    QTimer m_durationTimer;
    QEventLoop m_loop;
    ExitStatus m_status = ExitStatus::Success;
    QElapsedTimer m_clock;               // from the first record on
    std::optional<StateCsvFormat> m_csv; // its columns chosen by the first record
    StateSample m_lastSample;
};
