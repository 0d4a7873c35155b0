#include "trendfeed.h"

#include "remotedevice.h"

TrendFeed::TrendFeed(RemoteDevice *device, QObject *parent)
    : QObject(parent)
    , m_device(device)
{
    connect(device, &RemoteDevice::stateStored, this, &TrendFeed::onStateStored);
    connect(device, &RemoteDevice::deviceConnect, this,
            [this] { addEvent(StateEvent::Kind::Connected); });
    connect(device, &RemoteDevice::deviceDisconnect, this,
            [this] { addEvent(StateEvent::Kind::LinkLost); });
    connect(device, &RemoteDevice::toolComChanged, this, &TrendFeed::onToolChanged);
}

QDateTime TrendFeed::wallTimeAt(qint64 elapsedMs) const
{
    return (m_startWallTime.isValid() ? m_startWallTime : QDateTime::currentDateTimeUtc())
        .addMSecs(elapsedMs);
}

StateLogHeader TrendFeed::logHeader(qint64 originMs) const
{
    // The units of the log's first sample, or of the newest when none has come since.
    const int first = m_samples.firstAtOrAfter(originMs);
    const double metricUnits = first < m_samples.size()
                                   ? m_samples.at(first).value(StateColumn::metricUnits)
                               : m_hasLastSample ? m_lastSample.value(StateColumn::metricUnits)
                                                 : std::numeric_limits<double>::quiet_NaN();
    return StateLogHeader::of(*m_device, QStringLiteral("vkt-dashboard " VKT_VERSION),
                              wallTimeAt(originMs), metricUnits);
}

const QJsonObject &TrendFeed::stateRecord() const
{
    return m_device->stateRecord();
}

void TrendFeed::onStateStored()
{
    startClock();
    addSample(StateSample::fromRecord(m_clock.elapsed(), m_device->stateRecord()),
              m_device->stateRecord());
}

void TrendFeed::addSample(const StateSample &sample, const QJsonObject &record)
{
    startClock();
    if (m_hasLastSample) {
        for (const StateEvent &event : StateEvent::changesBetween(m_lastSample, sample)) {
            m_events.append(event);
            emit eventAdded(event);
        }
    }
    m_lastSample = sample;
    m_hasLastSample = true;
    m_samples.append(sample);
    emit sampleAdded(sample, record);
}

// The link's end takes the tool with it; that is told as the link's loss alone.
void TrendFeed::onToolChanged(int connected)
{
    const bool present = connected != 0;
    if (present != m_toolPresent && (present || m_device->isConnected()))
        addEvent(present ? StateEvent::Kind::ToolPresent : StateEvent::Kind::ToolLost);
    m_toolPresent = present;
}

void TrendFeed::addEvent(StateEvent::Kind kind)
{
    startClock();
    const StateEvent event{m_clock.elapsed(), kind};
    m_events.append(event);
    emit eventAdded(event);
}

void TrendFeed::clear()
{
    m_samples.clear();
    m_events.clear();
    emit cleared();
}

void TrendFeed::startClock()
{
    if (m_clock.isValid())
        return;
    m_clock.start();
    m_startWallTime = QDateTime::currentDateTimeUtc();
}
