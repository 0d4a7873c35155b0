#include "privatenetwork.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const char *const insideVariable = "VKT_PRIVATE_NETWORK";
// Brings loopback up and routes everything, the broadcast address too, onto it.
const QString setUpLoopback = QStringLiteral("ip link set lo up && ip route add default dev lo");
QString reason;

} // namespace

bool PrivateNetwork::isInside()
{
    return qEnvironmentVariableIsSet(insideVariable);
}

QString PrivateNetwork::unavailableReason()
{
    return reason;
}

std::optional<int> PrivateNetwork::runInside()
{
    if (isInside())
        return std::nullopt;
    if (QStandardPaths::findExecutable("unshare").isEmpty()
        || QStandardPaths::findExecutable("ip").isEmpty()) {
        reason = QStringLiteral("unshare or ip (util-linux, iproute2) not found");
        return std::nullopt;
    }
    // Root can make a bare network namespace; anyone else needs a user namespace around it.
    const QStringList choices = geteuid() == 0 ? QStringList{"-n", "-rn"} : QStringList{"-rn"};
    for (const QString &flags : choices) {
        QProcess probe;
        probe.start("unshare", {flags, "sh", "-c", setUpLoopback});
        if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit
            || probe.exitCode() != 0) {
            reason =
                QStringLiteral("unshare %1 failed: %2")
                    .arg(flags, QString::fromLocal8Bit(probe.readAllStandardError()).trimmed());
            continue;
        }
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(insideVariable, "1");
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        child.start("unshare",
                    QStringList{flags, "sh", "-c", setUpLoopback + " && exec \"$0\" \"$@\"",
                                QCoreApplication::applicationFilePath()}
                        + QCoreApplication::arguments().mid(1));
        if (!child.waitForFinished(10 * 60 * 1000) || child.exitStatus() != QProcess::NormalExit)
            return 1;
        return child.exitCode();
    }
    return std::nullopt;
}
