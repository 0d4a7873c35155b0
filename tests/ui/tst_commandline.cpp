// The informational first arguments: which count as such, and the help the program prints.
#include "commandlineinfo.h"

#include <QProcess>
#include <QtTest>

#include <vector>

namespace {

CommandLineInfo::Request requestOf(const QStringList &arguments)
{
    std::vector<QByteArray> storage{QByteArrayLiteral("vkt-dashboard")};
    for (const QString &argument : arguments)
        storage.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return CommandLineInfo::requested(int(storage.size()), argv.data());
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersion();
};

// Only a first argument asks for information. The real program prints its help without any
// display (one that opened its window would fail here), and every option the help lists is
// answered, not taken for a device address.
void TestCommandLine::helpAndVersion()
{
    using R = CommandLineInfo::Request;
    QCOMPARE(requestOf({"--help", "usb:///dev/ttyUSB0"}), R::Help);
    QCOMPARE(requestOf({"--version"}), R::Version);
    QCOMPARE(requestOf({"network://10.0.0.5", "--help"}), R::None);
    QCOMPARE(requestOf({"--help=all"}), R::None);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en")); // "Usage: " is English
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VKT_DASHBOARD_PATH), {"--help"});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(output.startsWith("Usage: "), qPrintable(output));
    const QRegularExpression option(QStringLiteral("(?:^  |, )(-[-\\w]+)"),
                                    QRegularExpression::MultilineOption);
    QStringList listed;
    for (auto matches = option.globalMatch(output.section("\n\n", 1, 1)); matches.hasNext();)
        listed << matches.next().captured(1);
    QVERIFY2(listed.contains("--version"), qPrintable(output));
    for (const QString &name : listed)
        QVERIFY2(requestOf({name}) != CommandLineInfo::Request::None, qPrintable(name));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
