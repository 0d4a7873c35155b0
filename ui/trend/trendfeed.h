#pragma once

#include "statecsvformat.h"
#include "stateevent.h"
#include "statesample.h"
#include "timering.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>

class RemoteDevice;

// The dashboard's memory of the run: a sample of the whole state after every poll and the
// events beside it, the last hour of each, on one monotonic clock. A lost link keeps what was
// gathered; the next connection goes on from there with an event.
class TrendFeed : public QObject
{
    Q_OBJECT

public:
    static constexpr int historyCapacity = 12000; // an hour at the poll's pace
    static constexpr int eventCapacity = 12000;

    explicit TrendFeed(RemoteDevice *device, QObject *parent = nullptr);

    const TimeRing<StateSample> &samples() const { return m_samples; }
    const TimeRing<StateEvent> &events() const { return m_events; }
    // Now, on the feed's clock; 0 before its first sample or event.
    qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }
    QDateTime wallTimeAt(qint64 elapsedMs) const;
    // What a log written now begins with: the device, its tool and units, and the program.
    StateLogHeader logHeader(qint64 originMs) const;
    const QJsonObject &stateRecord() const;

    // Keeps a sample taken at `sample.elapsedMs` and passes it on.
    void addSample(const StateSample &sample, const QJsonObject &record);
    void clear();

signals:
    void sampleAdded(const StateSample &sample, const QJsonObject &record);
    void eventAdded(const StateEvent &event);
    void cleared();

private:
    void onStateStored();
    void onToolChanged(int connected);
    void addEvent(StateEvent::Kind kind);
    void startClock();

    RemoteDevice *m_device;
    QElapsedTimer m_clock;
    QDateTime m_startWallTime;
    TimeRing<StateSample> m_samples{historyCapacity};
    TimeRing<StateEvent> m_events{eventCapacity};
    StateSample m_lastSample; // what the next sample's changes are told against
    bool m_hasLastSample = false;
    bool m_toolPresent = false;
};
