// The informational first arguments of the dashboard: which arguments count as such, and what the
// real program prints for them, without a display.
#include "commandlineinfo.h"

#include <QProcess>
#include <QtTest>

#include <vector>

Q_DECLARE_METATYPE(CommandLineInfo::Request)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void requested_data();
    void requested();
    void printed_data();
    void printed();
};

void TestCommandLine::requested_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLineInfo::Request>("expected");
    using R = CommandLineInfo::Request;
    QTest::newRow("no argument") << QStringList() << R::None;
    QTest::newRow("help, then more") << QStringList{"--help", "usb:///dev/ttyUSB0"} << R::Help;
    QTest::newRow("version") << QStringList{"--version"} << R::Version;
    QTest::newRow("help after an address")
        << QStringList{"network://10.0.0.5", "--help"} << R::None;
    QTest::newRow("help with a value") << QStringList{"--help=all"} << R::None;
}

void TestCommandLine::requested()
{
    QFETCH(QStringList, arguments);
    std::vector<QByteArray> storage{"vkt-dashboard"};
    for (const QString &argument : arguments)
        storage.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    QTEST(CommandLineInfo::requested(int(storage.size()), argv.data()), "expected");
}

void TestCommandLine::printed_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("start"); // of the output's first line
    QTest::addColumn<QString>("end");
    QTest::newRow("help") << "--help"
                          << "Usage: "
                          << "vkt-dashboard [options] [address]";
    QTest::newRow("version") << "--version"
                             << "VKT Dashboard "
                             << "";
}

void TestCommandLine::printed()
{
    QFETCH(QString, argument);
    QFETCH(QString, start);
    QFETCH(QString, end);
    // No display of any kind: a program that opened its window would fail here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(VKT_DASHBOARD_PATH, {argument});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    const QString line = QString::fromUtf8(process.readAllStandardOutput()).section('\n', 0, 0);
    QVERIFY2(line.startsWith(start) && line.endsWith(end), qPrintable(line));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
