#include "trendwindow.h"

#include "safefile.h"
#include "trendfeed.h"
#include "trendplot.h"
#include "uilog.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const char *const boxTitle = "VKT Dashboard";

struct Span
{
    const char *text;
    qint64 ms;
};
const Span spans[] = {
    {QT_TRANSLATE_NOOP("TrendWindow", "30 s"), 30 * 1000},
    {QT_TRANSLATE_NOOP("TrendWindow", "2 min"), 2 * 60 * 1000},
    {QT_TRANSLATE_NOOP("TrendWindow", "10 min"), 10 * 60 * 1000},
    {QT_TRANSLATE_NOOP("TrendWindow", "1 h"), 60 * 60 * 1000},
};
constexpr int defaultSpan = 1;
constexpr int idleRefreshMs = 1000;

QString valueText(double value, const QString &unit)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', 2) + ' ' + unit;
}

} // namespace

TrendWindow::TrendWindow(TrendFeed *feed, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_feed(feed)
    , m_plot(new TrendPlot(feed))
    , m_spanBox(new QComboBox)
    , m_pauseButton(new QPushButton(tr("Pause")))
    , m_clearButton(new QPushButton(tr("Clear")))
    , m_exportCsvButton(new QPushButton(tr("Export CSV…")))
    , m_exportPictureButton(new QPushButton(tr("Export picture…")))
    , m_recordButton(new QPushButton(tr("Record…")))
    , m_recordingLabel(new QLabel)
    , m_hoverLabel(new QLabel)
{
    setWindowTitle(tr("VKT Dashboard - Trend"));
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor("#222"));
    ground.setColor(QPalette::WindowText, Qt::white);
    setPalette(ground);
    setAutoFillBackground(true);

    for (const Span &span : spans)
        m_spanBox->addItem(tr(span.text));
    m_spanBox->setCurrentIndex(defaultSpan);
    for (QLabel *label : {m_recordingLabel, m_hoverLabel})
        label->setTextFormat(Qt::PlainText);
    m_recordingLabel->setMinimumWidth(100);

    auto *tools = new QHBoxLayout;
    tools->addWidget(m_spanBox);
    for (QPushButton *button :
         {m_pauseButton, m_clearButton, m_exportCsvButton, m_exportPictureButton, m_recordButton})
        tools->addWidget(button);
    tools->addWidget(m_recordingLabel, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_hoverLabel);
    resize(1000, 680);

    connect(feed, &TrendFeed::sampleAdded, &m_recorder, &StateRecorder::recordSample);
    connect(feed, &TrendFeed::eventAdded, &m_recorder, &StateRecorder::recordEvent);
    connect(feed, &TrendFeed::sampleAdded, this, &TrendWindow::onSampleAdded);
    connect(feed, &TrendFeed::eventAdded, this, [this] { m_eventPending = true; });
    connect(feed, &TrendFeed::cleared, this, &TrendWindow::refresh);
    connect(m_spanBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TrendWindow::refresh);
    connect(m_pauseButton, &QPushButton::clicked, this, &TrendWindow::onPauseButtonClick);
    connect(m_clearButton, &QPushButton::clicked, feed, &TrendFeed::clear);
    connect(m_exportCsvButton, &QPushButton::clicked, this, &TrendWindow::onExportCsvButtonClick);
    connect(m_exportPictureButton, &QPushButton::clicked, this,
            &TrendWindow::onExportPictureButtonClick);
    connect(m_recordButton, &QPushButton::clicked, this, &TrendWindow::onRecordButtonClick);
    // A row every poll: the count is shown only where it can be seen.
    connect(&m_recorder, &StateRecorder::rowsWrittenChanged, this, [this] {
        if (isVisible())
            showRecording();
    });
    // The box opens from the event loop, once the poll that failed to be written has ended.
    connect(&m_recorder, &StateRecorder::failed, this, &TrendWindow::onRecordingFailed,
            Qt::QueuedConnection);
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        if (isVisible() && !m_paused)
            refresh();
    });
    connect(m_plot, &TrendPlot::hovered, this, &TrendWindow::onHovered);
    connect(m_plot, &TrendPlot::hoverEnded, m_hoverLabel, &QLabel::clear);
}

void TrendWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showRecording();
    refresh();
}

// A refresh that would move the curves by less than a pixel shows nothing new: at long spans
// most polls only add to the history.
void TrendWindow::onSampleAdded()
{
    if (!isVisible() || m_paused)
        return;
    const qint64 now = m_feed->elapsedMs();
    if (m_eventPending || m_refreshedAtMs < 0
        || now - m_refreshedAtMs >= m_plot->msPerColumn(spanMs()))
        refresh();
}

void TrendWindow::refresh()
{
    m_eventPending = false;
    if (m_paused) {
        const qint64 end = m_plot->shownToMs();
        m_plot->showSpan(end - spanMs(), end, false);
        return;
    }
    const qint64 now = m_feed->elapsedMs();
    m_refreshedAtMs = now;
    m_plot->showSpan(now - spanMs(), now);
    // Longer than the pace the samples set, so that it runs out only when they stop.
    m_idleTimer.start(int(m_plot->msPerColumn(spanMs())) + idleRefreshMs);
}

qint64 TrendWindow::spanMs() const
{
    return spans[std::clamp(m_spanBox->currentIndex(), 0, int(std::size(spans)) - 1)].ms;
}

void TrendWindow::onPauseButtonClick()
{
    m_paused = !m_paused;
    m_pauseButton->setText(m_paused ? tr("Resume") : tr("Pause"));
    if (!m_paused)
        refresh();
}

// The samples and events of the shown span, in time order, from elapsed 0 at its start.
QByteArray TrendWindow::shownCsv() const
{
    const qint64 from = m_plot->shownFromMs();
    const qint64 to = m_plot->shownToMs();
    const StateCsvFormat format({}, from);
    QByteArray data = format.header(m_feed->logHeader(from));
    const TimeRing<StateSample> &samples = m_feed->samples();
    const TimeRing<StateEvent> &events = m_feed->events();
    int event = events.firstAtOrAfter(from);
    for (int i = samples.firstAtOrAfter(from); i < samples.size(); ++i) {
        const StateSample &sample = samples.at(i);
        if (sample.elapsedMs > to)
            break;
        for (; event < events.size() && events.at(event).elapsedMs <= sample.elapsedMs; ++event)
            data += format.eventRow(events.at(event));
        data += format.sampleRow(sample);
    }
    for (; event < events.size() && events.at(event).elapsedMs <= to; ++event)
        data += format.eventRow(events.at(event));
    return data;
}

void TrendWindow::onExportCsvButtonClick()
{
    writeExport(tr("Export CSV"), tr("CSV files (*.csv)"), shownCsv());
}

void TrendWindow::onExportPictureButtonClick()
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    m_plot->grab().save(&buffer, "PNG");
    writeExport(tr("Export picture"), tr("PNG pictures (*.png)"), data);
}

void TrendWindow::writeExport(const QString &caption, const QString &filter, const QByteArray &data)
{
    const QString path = QFileDialog::getSaveFileName(this, caption, QDir::homePath(), filter);
    if (path.isEmpty())
        return;
    QString reason;
    if (!SafeFile::write(path, data, &reason))
        showError(tr("Error writing %1: %2").arg(path, reason));
}

void TrendWindow::onRecordButtonClick()
{
    if (m_recorder.isRecording()) {
        m_recorder.stop();
        showRecording();
        return;
    }
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Record"), QDir::homePath(), tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        startRecording(path);
}

bool TrendWindow::startRecording(const QString &path)
{
    const qint64 now = m_feed->elapsedMs();
    if (!m_recorder.start(path, m_feed->logHeader(now), m_feed->stateRecord(), now)) {
        showError(tr("Error recording to %1: %2").arg(path, m_recorder.errorString()));
        return false;
    }
    qCDebug(lcUi) << "recording to" << path;
    showRecording();
    return true;
}

void TrendWindow::onRecordingFailed(const QString &reason)
{
    showRecording();
    showError(tr("Recording stopped: error writing %1: %2").arg(m_recorder.fileName(), reason));
}

void TrendWindow::showRecording()
{
    const bool recording = m_recorder.isRecording();
    m_recordButton->setText(recording ? tr("Stop recording") : tr("Record…"));
    if (m_recorder.fileName().isEmpty())
        return;
    const QString name = QFileInfo(m_recorder.fileName()).fileName();
    const QString text = recording ? tr("Recording %1: %2 rows") : tr("Recorded %1: %2 rows");
    m_recordingLabel->setText(m_recordingLabel->fontMetrics().elidedText(
        text.arg(name).arg(m_recorder.rowsWritten()), Qt::ElideMiddle, m_recordingLabel->width()));
    m_recordingLabel->setToolTip(m_recorder.fileName());
}

// The values of the sample nearest the mouse; none where the history has a gap.
void TrendWindow::onHovered(qint64 elapsedMs)
{
    const TimeRing<StateSample> &samples = m_feed->samples();
    int i = samples.firstAtOrAfter(elapsedMs);
    if (i > 0
        && (i == samples.size()
            || elapsedMs - samples.at(i - 1).elapsedMs < samples.at(i).elapsedMs - elapsedMs))
        --i;
    const double nearMs = std::max(1000.0, 4 * m_plot->msPerColumn(spanMs()));
    if (i >= samples.size() || std::abs(double(samples.at(i).elapsedMs - elapsedMs)) > nearMs) {
        m_hoverLabel->clear();
        return;
    }
    const StateSample &sample = samples.at(i);
    const bool metric = sample.value(StateColumn::metricUnits) != 0;
    const QString force = metric ? QStringLiteral("N") : QStringLiteral("Lb");
    const QString position = metric ? QStringLiteral("mm") : QStringLiteral("in");
    m_hoverLabel->setText(
        tr("%1   force %2 (command %3)   position %4 (command %5)   acceleration %6")
            .arg(m_feed->wallTimeAt(sample.elapsedMs).toLocalTime().toString("hh:mm:ss.zzz"),
                 valueText(sample.value(StateColumn::actualForce), force),
                 valueText(sample.value(StateColumn::commandForce), force),
                 valueText(sample.value(StateColumn::actualPosition), position),
                 valueText(sample.value(StateColumn::commandPosition), position),
                 valueText(sample.value(StateColumn::accelGravity), QStringLiteral("G"))));
}

// Paths and the system's reasons are shown as they are, never read as markup.
void TrendWindow::showError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, boxTitle, text, QMessageBox::Ok,
                    isVisible() ? this : parentWidget());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
