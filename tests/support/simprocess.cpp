#include "simprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

SimProcess::SimProcess()
{
    m_process.setProgram(QStringLiteral(VKT_SIM_PATH));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                     [this] { readOutput(); });
}

SimProcess::~SimProcess()
{
    m_process.write("quit\n");
    if (!m_process.waitForFinished(replyWaitMs))
        kill();
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
    m_process.setArguments(arguments + QStringList{"--trace"});
    m_process.start();
    return m_process.waitForStarted(startWaitMs)
           && waitUntil([this] { return m_lines.contains("ready"); }, startWaitMs);
}

int SimProcess::waitForCommand(const QString &command, int from)
{
    waitUntil([&] { return m_commands.indexOf(command, from) >= 0; });
    return m_commands.indexOf(command, from);
}

bool SimProcess::control(const QString &line)
{
    // Acknowledgements are used up, so that the same line can be sent again.
    m_process.write(line.toUtf8() + '\n');
    waitUntil(
        [&] { return m_lines.contains("ok: " + line) || m_lines.contains("error: " + line); });
    m_lines.removeOne("error: " + line);
    return m_lines.removeOne("ok: " + line);
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
        QTest::qWait(10);
    }
    return false;
}

void SimProcess::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    for (int end; (end = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, end + 1)) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        if (line.startsWith("command: "))
            m_commands << line.mid(9);
        else
            m_lines << line;
        if (line.startsWith("serial: "))
            m_serialPath = line.mid(8);
        if (line.startsWith("udp: "))
            m_udpHost = line.mid(5).section(':', 0, 0);
    }
}
