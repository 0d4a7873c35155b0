#include "simprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

namespace {

constexpr int pollSliceMs = 10;

const QString commandPrefix = QStringLiteral("command: ");
const QString serialPrefix = QStringLiteral("serial: ");
const QString udpPrefix = QStringLiteral("udp: ");

} // namespace

SimProcess::SimProcess(QObject *parent)
    : QObject(parent)
{
    m_process.setProgram(QStringLiteral(VKT_SIM_PATH));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimProcess::readOutput);
}

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        quit();
}

QString SimProcess::uniqueLoopbackAddress()
{
    static int counter = 0;
    counter = counter % 254 + 1;
    const qint64 pid = QCoreApplication::applicationPid();
    return QStringLiteral("127.%1.%2.%3").arg(counter).arg((pid >> 8) & 0xff).arg(pid & 0xff);
}

bool SimProcess::start(const QStringList &arguments)
{
    m_process.setArguments(arguments + QStringList{QStringLiteral("--trace")});
    m_process.start();
    return m_process.waitForStarted(startWaitMs)
           && waitUntil([this] { return m_lines.contains(QStringLiteral("ready")); }, startWaitMs);
}

int SimProcess::waitForCommand(const QString &command, int from)
{
    waitUntil([&] { return m_commands.indexOf(command, from) >= 0; }, replyWaitMs);
    return m_commands.indexOf(command, from);
}

bool SimProcess::control(const QString &line)
{
    // Acknowledgements are used up, so the same line can be sent again.
    const QString ok = QStringLiteral("ok: ") + line;
    const QString refused = QStringLiteral("error: ") + line;
    m_process.write(line.toUtf8() + '\n');
    waitUntil([&] { return m_lines.contains(ok) || m_lines.contains(refused); }, replyWaitMs);
    m_lines.removeOne(refused);
    return m_lines.removeOne(ok);
}

int SimProcess::quit()
{
    m_process.write("quit\n");
    if (m_process.waitForFinished(replyWaitMs))
        return m_process.exitCode();
    kill();
    return -1;
}

void SimProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(replyWaitMs);
}

bool SimProcess::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    bool running = true;
    while (running && !deadline.hasExpired()) {
        running = m_process.state() != QProcess::NotRunning; // its last words are read below
        readOutput();
        if (done())
            return true;
        QTest::qWait(pollSliceMs);
    }
    return false;
}

void SimProcess::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (line.startsWith(commandPrefix))
            m_commands << line.mid(commandPrefix.size());
        else
            m_lines << line;
        if (line.startsWith(serialPrefix))
            m_serialPath = line.mid(serialPrefix.size());
        if (line.startsWith(udpPrefix))
            m_udpHost = line.mid(udpPrefix.size()).section(QLatin1Char(':'), 0, 0);
    }
}
