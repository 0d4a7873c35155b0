#include "simprocess.h"

#include <QDeadlineTimer>

SimProcess::SimProcess(const QStringList &arguments)
{
    process.setProgram(QStringLiteral(VKT_SIM_PATH));
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimProcess::~SimProcess()
{
    if (process.state() != QProcess::NotRunning)
        quit();
}

bool SimProcess::start()
{
    process.start();
    return process.waitForStarted(startWaitMs) && waitForLine(QStringLiteral("ready"), startWaitMs);
}

void SimProcess::collect()
{
    pending += process.readAllStandardOutput();
    int end;
    while ((end = pending.indexOf('\n')) >= 0) {
        lines << QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
    }
}

QString SimProcess::valueOf(const QString &prefix) const
{
    for (const QString &line : lines) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QString();
}

bool SimProcess::hasLine(const QString &line) const
{
    return lines.contains(line);
}

bool SimProcess::waitForLine(const QString &line, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    collect();
    while (!lines.contains(line)) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        collect();
    }
    return true;
}

bool SimProcess::control(const QString &line)
{
    process.write(line.toUtf8() + '\n');
    collect();
    const QDeadlineTimer deadline(replyWaitMs);
    const QString ok = QStringLiteral("ok: ") + line;
    const QString refused = QStringLiteral("error: ") + line;
    while (!deadline.hasExpired()) {
        // an acknowledgement is used up, so the same line can be sent again
        if (lines.removeOne(ok))
            return true;
        if (lines.removeOne(refused))
            return false;
        if (process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        collect();
    }
    return false;
}

int SimProcess::quit()
{
    process.write("quit\n");
    if (process.waitForFinished(replyWaitMs))
        return process.exitCode();
    process.kill();
    process.waitForFinished(replyWaitMs);
    return -1;
}
