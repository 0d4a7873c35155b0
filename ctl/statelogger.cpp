#include "statelogger.h"

#include "commandtext.h"
#include "ctloutput.h"
#include "devicesession.h"
#include "devicevocabulary.h"

#include <QDateTime>
#include <QJsonDocument>

#include <cmath>

StateLogger::StateLogger(DeviceSession *session, Format format, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_format(format)
{
    m_pollTimer.setSingleShot(true);
    // A coarse timer may fire 5 % early, and the pace is the one thing a logger must keep.
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    m_durationTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &StateLogger::poll);
    connect(&m_durationTimer, &QTimer::timeout, this, [this] { finish(ExitStatus::Success); });
    connect(&m_interrupts, &InterruptWatcher::interrupted, this,
            [this] { finish(ExitStatus::Success); });
}

ExitStatus StateLogger::run(double durationS)
{
    if (durationS > 0)
        m_durationTimer.start(int(std::lround(durationS * 1000)));
    // Connecting ran the first poll; its record is the first line.
    writeState(m_session->device().stateRecord());
    if (m_status == ExitStatus::Success)
        m_loop.exec();
    return m_status;
}

void StateLogger::poll()
{
    writeState(m_session->device().sendCommand(DevicePath::stateObject).toObject());
}

void StateLogger::writeState(const QJsonObject &state)
{
    if (state.isEmpty()) {
        if (m_session->checkLink())
            CtlOutput::error(tr("The device sent no state."));
        finish(ExitStatus::DeviceFailure);
        return;
    }
    if (!CtlOutput::bytes(m_format == Format::Csv ? csvLines(state) : jsonLine(state))) {
        finish(ExitStatus::DeviceFailure);
        return;
    }
    m_pollTimer.start(pollIntervalMs);
}

QByteArray StateLogger::jsonLine(const QJsonObject &state)
{
    const QJsonObject line{
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("state"), state}};
    return CommandText::printableJson(QJsonDocument(line), QJsonDocument::Compact) + '\n';
}

QByteArray StateLogger::csvLines(const QJsonObject &state)
{
    QByteArray lines;
    const StateSample sample =
        StateSample::fromRecord(m_clock.isValid() ? m_clock.elapsed() : 0, state);
    if (!m_csv) {
        m_clock.start();
        m_csv.emplace(state);
        lines = m_csv->header(StateLogHeader::of(
            m_session->device(), QStringLiteral("vkt-ctl " VKT_VERSION),
            QDateTime::currentDateTimeUtc(), sample.value(StateColumn::metricUnits)));
    } else {
        for (const StateEvent &event : StateEvent::changesBetween(m_lastSample, sample))
            lines += m_csv->eventRow(event);
    }
    m_lastSample = sample;
    return lines + m_csv->sampleRow(sample, state);
}

void StateLogger::finish(ExitStatus status)
{
    m_status = status;
    m_pollTimer.stop();
    m_durationTimer.stop();
    m_loop.quit();
}
