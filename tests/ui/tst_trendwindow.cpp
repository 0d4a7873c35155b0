#include "connectedwindow.h"
#include "trendplot.h"
#include "trendwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// The trend window on a simulated device: opened from the title row, plotting what the
// device reports, paused and resumed, exported.
class TestTrendWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void plotsPausesAndExports();
    void recordingWritesThrough();
};

namespace {

QStringList eventTexts(const TrendFeed &feed)
{
    QStringList texts;
    for (int i = 0; i < feed.events().size(); ++i)
        texts << feed.events().at(i).text();
    return texts;
}

} // namespace

void TestTrendWindow::plotsPausesAndExports()
{
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connected.connect({}));
    window.show();
    window.trendButton->click();
    window.trendButton->click();
    TrendWindow *trend = window.trendWindow();
    QVERIFY(trend && trend->isVisible());
    QCOMPARE(window.findChildren<TrendWindow *>().size(), 1);
    QCOMPARE(trend->windowTitle(), QStringLiteral("VKT Dashboard - Trend"));

    // A new force command reaches the history as an event and the plot as a step.
    window.remoteDevice.commandForce(25);
    const TrendFeed &feed = *window.trendFeed();
    QTRY_VERIFY(eventTexts(feed).contains("force command 25") && feed.samples().size() >= 5);
    QCOMPARE(eventTexts(feed).mid(0, 2), (QStringList{"connected", "tool present"}));
    // The measured force as plotted is the samples' force, each sample a point: the span
    // has more pixel columns than samples.
    TrendPlot *plot = trend->plot();
    QTRY_VERIFY(plot->shownToMs() >= feed.samples().last().elapsedMs);
    auto *measured = qobject_cast<QLineSeries *>(plot->chart(0)->series().constFirst());
    QVector<double> plotted;
    for (const QPointF &point : measured->points())
        plotted << point.y();
    QVector<double> sampled;
    for (int i = 0; i < feed.samples().size(); ++i) {
        if (feed.samples().at(i).elapsedMs <= plot->shownToMs())
            sampled << feed.samples().at(i).value(StateColumn::actualForce);
    }
    QCOMPARE(plotted, sampled);
    const QRectF area = plot->chart(0)->mapRectToScene(plot->chart(0)->plotArea());
    const QPoint at = QPointF(area.right() - 2, area.center().y()).toPoint();
    QMouseEvent hover(QEvent::MouseMove, at, plot->viewport()->mapToGlobal(at), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(plot->viewport(), &hover);
    QVERIFY(trend->hoverLabel()->text().contains(" N (command "));

    // Paused, the view stands while samples keep coming, also at another span; resumed, it
    // catches up.
    trend->pauseButton()->click();
    QCOMPARE(trend->pauseButton()->text(), QStringLiteral("Resume"));
    const qint64 pausedAt = plot->shownToMs();
    const int samples = feed.samples().size();
    QTRY_VERIFY(feed.samples().size() >= samples + 2);
    trend->spanBox()->setCurrentIndex(0);
    QCOMPARE(plot->shownToMs(), pausedAt);
    trend->pauseButton()->click();
    QVERIFY(plot->shownToMs() > pausedAt);

    // The exports: the shown span's rows; the plots as a picture; a folder that is not there
    // is reported and leaves nothing behind.
    QTemporaryDir dir;
    QString target = dir.filePath("shown.csv");
    connected.answerer.chooseFile(target);
    trend->pauseButton()->click();
    trend->exportCsvButton()->click();
    QFile csv(target);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QVERIFY(lines[0].startsWith("# format,VKT state log 1"));
    QVERIFY(lines[1].startsWith("# device,HBN-Sim"));
    QVERIFY(lines[7].startsWith("elapsed_s,event,metricUnits,actualForce,"));
    int shownSamples = 0;
    for (int i = 0; i < feed.samples().size(); ++i) {
        const qint64 t = feed.samples().at(i).elapsedMs;
        shownSamples += t >= plot->shownFromMs() && t <= plot->shownToMs();
    }
    int sampleRows = 0;
    for (const QByteArray &line : lines.mid(8))
        sampleRows += !line.isEmpty() && line.split(',').value(1).isEmpty();
    QCOMPARE(sampleRows, shownSamples);
    target = dir.filePath("shown.png");
    connected.answerer.chooseFile(target);
    trend->exportPictureButton()->click();
    QCOMPARE(QImage(target).size(), plot->viewport()->size());
    target = dir.filePath("missing/shown.png");
    connected.answerer.chooseFile(target);
    trend->exportPictureButton()->click();
    QCOMPARE(connected.answerer.boxes().size(), 1);
    const QString failure = connected.answerer.boxes()[0].text;
    QVERIFY2(failure.startsWith("Error writing " + target + ": "), qPrintable(failure));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"shown.csv", "shown.png"}));
}

// Every row is in the file, whole, as soon as it is recorded: the file as it stands while the
// recording goes on is what a killed program would leave. The link lost and back is in it.
void TestTrendWindow::recordingWritesThrough()
{
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connected.connect({}));
    window.trendButton->click();
    QTemporaryDir dir;
    const QString path = dir.filePath("run.csv");
    QVERIFY(window.trendWindow()->startRecording(path));
    const auto lines = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList();
    };
    QTRY_VERIFY(lines().size() >= 12);
    window.remoteDevice.disconnectDevice();
    QVERIFY(window.remoteDevice.connectDevice(connected.sim.address()));
    const QByteArrayList written = lines();
    QVERIFY(written[1].startsWith("# device,HBN-Sim"));
    QVERIFY(written.last().isEmpty()); // the last line ended
    QStringList events;
    for (const QByteArray &row : written.mid(8, written.size() - 9)) {
        QVERIFY(row.endsWith('\r'));
        QCOMPARE(row.count(','), written[7].count(','));
        if (!row.split(',').at(1).isEmpty())
            events << row.split(',').at(1);
    }
    QCOMPARE(events.mid(events.indexOf("link lost")),
             (QStringList{"link lost", "connected", "tool present"}));
}

QTEST_MAIN(TestTrendWindow)
#include "tst_trendwindow.moc"
