#include "privatenetwork.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const char *const insideVariable = "VKT_PRIVATE_NETWORK";
// Brings loopback up and routes everything, the broadcast address too, onto it.
const QString setUpLoopback = QStringLiteral("ip link set lo up && ip route add default dev lo");
constexpr int probeBoundMs = 10000;

// Root can make a bare network namespace; anyone else needs a user namespace around it.
QStringList unshareFlagChoices()
{
    if (geteuid() == 0)
        return {QStringLiteral("-n"), QStringLiteral("-rn")};
    return {QStringLiteral("-rn")};
}

} // namespace

QString PrivateNetwork::s_unavailableReason;

bool PrivateNetwork::isInside()
{
    return qEnvironmentVariableIsSet(insideVariable);
}

QString PrivateNetwork::unavailableReason()
{
    return s_unavailableReason;
}

std::optional<int> PrivateNetwork::runInside()
{
    if (isInside())
        return std::nullopt;
    if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty()) {
        s_unavailableReason = QStringLiteral("unshare or ip (util-linux, iproute2) not found");
        return std::nullopt;
    }
    for (const QString &flags : unshareFlagChoices()) {
        QProcess probe;
        probe.start(QStringLiteral("unshare"),
                    {flags, QStringLiteral("sh"), QStringLiteral("-c"), setUpLoopback});
        if (!probe.waitForFinished(probeBoundMs) || probe.exitStatus() != QProcess::NormalExit
            || probe.exitCode() != 0) {
            s_unavailableReason =
                QStringLiteral("unshare %1 failed: %2")
                    .arg(flags, QString::fromLocal8Bit(probe.readAllStandardError()).trimmed());
            continue;
        }
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(insideVariable), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        child.start(QStringLiteral("unshare"),
                    QStringList{flags, QStringLiteral("sh"), QStringLiteral("-c"),
                                setUpLoopback + QStringLiteral(" && exec \"$0\" \"$@\""),
                                QCoreApplication::applicationFilePath()}
                        + QCoreApplication::arguments().mid(1));
        if (!child.waitForFinished(childBoundMs) || child.exitStatus() != QProcess::NormalExit)
            return 1;
        return child.exitCode();
    }
    return std::nullopt;
}
