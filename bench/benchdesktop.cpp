// The dashboard on a desktop (an X server given by DISPLAY): start to first state poll, peak
// resident memory and CPU while polling, each beside the minimal widgets window or the pinned
// state. Every process it starts inherits its CPU affinity.
// Usage: vkt-bench-desktop SIM APP MINIMAL_WINDOW LOOPBACK_ADDRESS RUNS

#include "benchstats.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdlib>

namespace {

constexpr int lineWaitMs = 10000; // a start or a poll that takes longer has failed
constexpr int settleMs = 1500;    // polls and repaints after the first, before memory is read
constexpr int cpuWindowMs = 10000;
constexpr int quietMs = 100; // no output for this long: nothing more is on its way

// A child process whose stdout is read line by line; ended (terminate, then kill) on scope exit.
class Child
{
public:
    explicit Child(const QString &program, const QStringList &arguments)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
    }
    ~Child()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(2000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }

    // Reads lines until one contains `needle`; false when none comes within lineWaitMs.
    bool waitForLine(const QByteArray &needle)
    {
        const QDeadlineTimer deadline(lineWaitMs);
        for (;;) {
            while (process.canReadLine()) {
                if (process.readLine().contains(needle))
                    return true;
            }
            if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
    }

    // Drops what the program has written so far, waiting out what is still in the pipe.
    void skipOutput()
    {
        while (process.waitForReadyRead(quietMs))
            process.readAll();
        process.readAll();
    }
    // One control line to vkt-sim; true once it is acknowledged.
    bool control(const QByteArray &line)
    {
        process.write(line + '\n');
        return waitForLine("ok: " + line);
    }
    qint64 pid() const { return process.processId(); }

private:
    QProcess process;
};

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "vkt-bench-desktop: %s\n", what);
    std::exit(1);
}

QByteArray procFile(qint64 pid, const QString &name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double peakResidentMb(qint64 pid)
{
    for (const QByteArray &line : procFile(pid, QStringLiteral("status")).split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
    }
    fail("no VmHWM");
}

// Mesa's drivers and the LLVM they compile shaders with; libGL itself comes with QtGui.
bool mapsOpenGlStack(qint64 pid)
{
    const QByteArray maps = procFile(pid, QStringLiteral("maps"));
    return maps.contains("libLLVM") || maps.contains("/dri/") || maps.contains("libgallium");
}

// CPU time of every thread of the process, in nanoseconds.
double cpuNs(qint64 pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray stat = procFile(pid, QStringLiteral("task/%1/schedstat").arg(task));
        total += stat.split(' ').constFirst().toDouble();
    }
    return total;
}

double cpuPercentOver(qint64 pid, int windowMs)
{
    const double before = cpuNs(pid);
    const auto start = bench::Clock::now();
    QThread::msleep(windowMs);
    return (cpuNs(pid) - before) / 1000 / bench::microsecondsSince(start) * 100;
}

struct StartSamples
{
    std::vector<double> startMs;
    std::vector<double> residentMb;
    std::vector<double> openGlMapped;
};

// Starts the program `runs` times; the start ends with the first `readyLine` on `witness`'s
// output (the witness is the program itself when null).
StartSamples measureStarts(int runs, const QString &program, const QStringList &arguments,
                           Child *witness, const QByteArray &readyLine)
{
    StartSamples samples;
    for (int i = 0; i < runs; ++i) {
        if (witness)
            witness->skipOutput();
        const auto start = bench::Clock::now();
        Child child(program, arguments);
        if (!(witness ? witness : &child)->waitForLine(readyLine))
            fail("the program under test did not come up");
        samples.startMs.push_back(bench::microsecondsSince(start) / 1000);
        QThread::msleep(settleMs);
        samples.residentMb.push_back(peakResidentMb(child.pid()));
        samples.openGlMapped.push_back(mapsOpenGlStack(child.pid()) ? 1 : 0);
    }
    return samples;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s SIM APP MINIMAL_WINDOW LOOPBACK_ADDRESS RUNS\n", argv[0]);
        return 2;
    }
    const QString sim = QString::fromLocal8Bit(argv[1]);
    const QString dashboard = QString::fromLocal8Bit(argv[2]);
    const QString minimalWindow = QString::fromLocal8Bit(argv[3]);
    const QString address = QString::fromLocal8Bit(argv[4]);
    const int runs = std::atoi(argv[5]);

    Child device(sim, {"--udp-address", address, "--no-tcp", "--trace"});
    if (!device.waitForLine("ready"))
        fail("vkt-sim did not start");
    const QStringList dashboardArguments{QStringLiteral("network://") + address};

    const StartSamples dashboardStarts =
        measureStarts(runs, dashboard, dashboardArguments, &device, "command: /stateObject");
    const StartSamples minimal = measureStarts(runs, minimalWindow, {}, nullptr, "painted");
    const StartSamples defaultGl =
        measureStarts(runs, minimalWindow, {"--qt-default-gl"}, nullptr, "painted");
    const StartSamples withText =
        measureStarts(runs, minimalWindow, {"--text"}, nullptr, "painted");
    bench::printResult("start to first state poll (ms)", dashboardStarts.startMs);
    bench::printResult("minimal window, start to first paint (ms)", minimal.startMs);
    bench::printResult("minimal window with Qt's default OpenGL, start to first paint (ms)",
                       defaultGl.startMs);
    bench::printResult("peak resident memory (MB)", dashboardStarts.residentMb);
    bench::printResult("minimal window, peak resident memory (MB)", minimal.residentMb);
    bench::printResult("minimal window with Qt's default OpenGL, peak resident memory (MB)",
                       defaultGl.residentMb);
    bench::printResult("minimal window with one line of text, peak resident memory (MB)",
                       withText.residentMb);
    bench::printResult("OpenGL stack mapped (0 no, 1 yes)", dashboardStarts.openGlMapped);
    bench::printResult("minimal window with Qt's default OpenGL, OpenGL stack mapped",
                       defaultGl.openGlMapped);

    // Live values: the sim's model moves and its clock bit toggles. Pinned: nothing changes,
    // so no poll signals anything and nothing repaints.
    Child dashboardRun(dashboard, dashboardArguments);
    device.skipOutput();
    if (!device.waitForLine("command: /stateObject"))
        fail("the dashboard did not poll");
    QThread::msleep(settleMs);
    const double live = cpuPercentOver(dashboardRun.pid(), cpuWindowMs);
    for (const char *member : {"actualForce", "actualPosition", "accelGravity", "dioValue"}) {
        if (!device.control(QByteArray("state ") + member + " 0"))
            fail("vkt-sim refused to pin the state");
    }
    QThread::msleep(settleMs);
    const double pinned = cpuPercentOver(dashboardRun.pid(), cpuWindowMs);
    bench::printResult("CPU while polling, live values (% of a core)", {live});
    bench::printResult("CPU while polling, state pinned (% of a core)", {pinned});
    return 0;
}
