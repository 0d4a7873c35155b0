#include "simprocess.h"

#include <QTest>

#include <functional>

namespace {

constexpr int startTimeoutMs = 10000;
constexpr int controlTimeoutMs = 5000;
constexpr int quitTimeoutMs = 3000;

const QString commandPrefix = QStringLiteral("command: ");

// Runs the event loop until `condition` holds or the time is up.
bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace

SimProcess::SimProcess(QObject *parent)
    : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimProcess::readOutput);
}

SimProcess::~SimProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("quit\n");
    if (!m_process.waitForFinished(quitTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(quitTimeoutMs);
    }
}

bool SimProcess::start(const QStringList &arguments)
{
    m_process.start(QStringLiteral(VKT_SIM_PATH),
                    QStringList{"--serial", "--no-udp", "--no-tcp", "--trace"} + arguments);
    if (!m_process.waitForStarted(startTimeoutMs))
        return false;
    const bool ready = waitFor(
            [this] {
                return m_lines.contains(QStringLiteral("ready"))
                        || m_process.state() == QProcess::NotRunning;
            },
            startTimeoutMs);
    return ready && m_process.state() == QProcess::Running && !m_serialPath.isEmpty();
}

bool SimProcess::control(const QString &line)
{
    const QString acknowledgement = QStringLiteral("ok: ") + line;
    m_lines.removeAll(acknowledgement);
    m_process.write(line.toUtf8() + '\n');
    return waitFor([&] { return m_lines.contains(acknowledgement); }, controlTimeoutMs);
}

int SimProcess::waitForCommand(const QString &command, int from, int timeoutMs)
{
    int index = -1;
    waitFor(
            [&] {
                index = m_commands.indexOf(command, from);
                return index >= 0;
            },
            timeoutMs);
    return index;
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
        else if (line.startsWith(QStringLiteral("serial: ")))
            m_serialPath = line.mid(8);
        else
            m_lines << line;
    }
}
