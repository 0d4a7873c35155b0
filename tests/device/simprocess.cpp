#include "simprocess.h"

#include <QDeadlineTimer>

namespace {

constexpr int startTimeoutMs = 10000;
constexpr int answerTimeoutMs = 5000;
constexpr int readSliceMs = 50;
const QString commandPrefix = QStringLiteral("command: ");
const QString serialPrefix = QStringLiteral("serial: ");

} // namespace

SimProcess::SimProcess(const QString &program)
    : m_program(program)
{
}

SimProcess::~SimProcess()
{
    kill();
}

bool SimProcess::start(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(m_program, arguments + QStringList{QStringLiteral("--trace")});
    if (!m_process.waitForStarted(startTimeoutMs) || !waitForLine(QStringLiteral("ready")))
        return false;
    for (const QString &line : qAsConst(m_lines)) {
        if (line.startsWith(serialPrefix))
            m_serialPath = line.mid(serialPrefix.size());
    }
    return true;
}

bool SimProcess::control(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    return waitForLine(QStringLiteral("ok: ") + line);
}

QStringList SimProcess::commands(int count)
{
    const QDeadlineTimer deadline(answerTimeoutMs);
    QStringList found = tracedCommands();
    while (found.size() < count && !deadline.hasExpired()) {
        m_process.waitForReadyRead(readSliceMs);
        found = tracedCommands();
    }
    return found;
}

QStringList SimProcess::commandsUntil(const QString &last)
{
    const QDeadlineTimer deadline(answerTimeoutMs);
    QStringList found = tracedCommands();
    while (!found.contains(last) && !deadline.hasExpired()) {
        m_process.waitForReadyRead(readSliceMs);
        found = tracedCommands();
    }
    return found;
}

QStringList SimProcess::tracedCommands()
{
    readLines();
    QStringList found;
    for (const QString &line : qAsConst(m_lines)) {
        if (line.startsWith(commandPrefix))
            found.append(line.mid(commandPrefix.size()));
    }
    return found;
}

void SimProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(startTimeoutMs);
}

bool SimProcess::waitForLine(const QString &line)
{
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired()) {
        readLines();
        if (m_lines.contains(line))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        m_process.waitForReadyRead(readSliceMs);
    }
    return false;
}

void SimProcess::readLines()
{
    while (m_process.canReadLine())
        m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
}
