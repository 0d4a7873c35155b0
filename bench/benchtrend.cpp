// The trend window in the running dashboard, one case per process (peak memory only grows):
// the main window connected to a vkt-sim, polling with live values, on a desktop (DISPLAY).
// Usage: vkt-bench-trend ADDRESS CASE [RECORD_FILE]
//   baseline   the window never opened, the history as a fresh start leaves it
//   closed     an hour of history, the window never opened
//   open       an hour of history, the window open at 1000 x 600 on a 10 min span
//   recording  an hour of history, recording to RECORD_FILE with the window closed
// Prints CPU over 10 s of polling, peak resident memory and, per case, redraw times or the
// time each poll spends in the recorder (see benchstats.h for the lines).

#include "benchstats.h"
#include "mainwindow.h"
#include "startupsequence.h"
#include "trendplot.h"
#include "trendwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int settleMs = 1500;
constexpr int cpuWindowMs = 10000;
constexpr int redraws = 200;
constexpr int tenMinutesIndex = 2; // in the span box
constexpr qint64 hourMs = 3600 * 1000;
constexpr qint64 pollMs = 300;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "vkt-bench-trend: %s\n", what);
    std::exit(1);
}

double cpuNs()
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + "/schedstat"));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').constFirst().toDouble();
    }
    return total;
}

// CPU time of this thread: what a redraw costs, whatever else the machine runs meanwhile.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        fail("no /proc/self/status");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
    }
    fail("no VmHWM");
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// An hour of samples before the dashboard's first poll: a force that follows a command
// changed every minute, a moving carriage, a little acceleration.
void fillHistory(TrendFeed &feed)
{
    QJsonObject record;
    for (qint64 t = -hourMs; t < 0; t += pollMs) {
        const double command = 10.0 * double((t / 60000) % 5);
        StateSample sample = StateSample::fromRecord(t, record);
        const auto set = [&sample](StateColumn column, double value) {
            sample.values[size_t(column)] = value;
        };
        set(StateColumn::metricUnits, 1);
        set(StateColumn::commandForce, command);
        set(StateColumn::actualForce, command + 0.3 * std::sin(double(t) / 700));
        set(StateColumn::actualPosition, 25 + 20 * std::sin(double(t) / 20000));
        set(StateColumn::commandPosition, 25);
        set(StateColumn::accelGravity, 0.01 * std::cos(double(t) / 3000));
        set(StateColumn::posLimitPosition, 45);
        set(StateColumn::negLimitPosition, 2.5);
        set(StateColumn::controlMode, 1);
        set(StateColumn::payloadWeight, 2.5);
        feed.addSample(sample, record);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    StartupSequence::setApplicationIdentity();
    StartupSequence::limitStyleCache();
    Q_INIT_RESOURCE(resources);
    if (argc < 3)
        fail("usage: vkt-bench-trend ADDRESS baseline|closed|open|recording [RECORD_FILE]");
    const QString address = QString::fromLocal8Bit(argv[1]);
    const QByteArray benchCase = argv[2];

    MainWindow window;
    window.show();
    if (benchCase != "baseline")
        fillHistory(*window.trendFeed());
    // Around the recorder, which the window connects first: what a poll spends there.
    std::vector<double> recordUs;
    std::vector<double> recordCpuMs;
    bench::Clock::time_point sampleStart;
    double sampleCpuStart = 0;
    QObject::connect(window.trendFeed(), &TrendFeed::sampleAdded, &window, [&] {
        sampleStart = bench::Clock::now();
        sampleCpuStart = threadCpuMs();
    });
    if (benchCase == "open" || benchCase == "recording") {
        window.onTrendButtonClick();
        window.trendWindow()->spanBox()->setCurrentIndex(tenMinutesIndex);
        window.trendWindow()->resize(1000, 600);
    }
    if (benchCase == "recording") {
        if (argc < 4)
            fail("recording needs a file");
        const QString file = QString::fromLocal8Bit(argv[3]);
        if (!window.trendWindow()->startRecording(file))
            fail("the recording did not start");
        window.trendWindow()->close();
        QObject::connect(window.trendFeed(), &TrendFeed::sampleAdded, &window, [&] {
            recordUs.push_back(bench::microsecondsSince(sampleStart));
            recordCpuMs.push_back(threadCpuMs() - sampleCpuStart);
        });
    }
    if (!window.remoteDevice.connectDevice(address))
        fail("the dashboard did not connect");
    runEventLoop(settleMs);

    const double cpuBefore = cpuNs();
    const auto cpuStart = bench::Clock::now();
    runEventLoop(cpuWindowMs);
    const double cpuPercent =
        (cpuNs() - cpuBefore) / 1000 / bench::microsecondsSince(cpuStart) * 100;
    const QString label = QString::fromLatin1(benchCase);
    bench::printResult(qPrintable("trend " + label + ": CPU while polling (% of a core)"),
                       {cpuPercent});

    if (benchCase == "open") {
        // One redraw as a poll brings it: the curves from the history, then the paint. Wall
        // time, and the CPU time of the thread, which other programs on the CPU do not swell.
        TrendWindow *trend = window.trendWindow();
        std::vector<double> wallMs;
        std::vector<double> cpuMs;
        for (int i = 0; i < redraws; ++i) {
            const auto start = bench::Clock::now();
            const double cpuStart = threadCpuMs();
            const qint64 now = window.trendFeed()->elapsedMs();
            trend->plot()->showSpan(now - 10 * 60 * 1000, now);
            trend->repaint();
            cpuMs.push_back(threadCpuMs() - cpuStart);
            wallMs.push_back(bench::microsecondsSince(start) / 1000);
        }
        bench::printResult("trend open: one redraw at 1000 x 600, 10 min span (ms)", wallMs);
        bench::printResult("trend open: one redraw at 1000 x 600, 10 min span, CPU (ms)", cpuMs);
    }
    if (benchCase == "recording") {
        bench::printResult("trend recording: time a poll spends recording (ms)",
                           std::vector<double>(1, bench::percentile(recordUs, 100) / 1000));
        for (double &us : recordUs)
            us /= 1000;
        bench::printResult("trend recording: time a poll spends recording, median (ms)", recordUs);
        bench::printResult("trend recording: CPU time a poll spends recording (ms)", recordCpuMs);
    }
    bench::printResult(qPrintable("trend " + label + ": peak resident memory (MB)"),
                       {peakResidentMb()});
    window.remoteDevice.disconnectDevice();
    return 0;
}
