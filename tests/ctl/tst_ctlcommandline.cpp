#include "ctlcommandline.h"

#include <QtTest>

// The command line decides what runs before anything is opened, so every misuse must stop here.
class TestCtlCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void outcome_data();
    void outcome();
    void request();
};

void TestCtlCommandLine::outcome_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");
    const int run = int(CtlCommandLine::Outcome::Run);
    const int usage = int(CtlCommandLine::Outcome::UsageError);

    QTest::newRow("help") << QStringList{"--help"} << int(CtlCommandLine::Outcome::Help);
    QTest::newRow("version") << QStringList{"--version"} << int(CtlCommandLine::Outcome::Version);
    QTest::newRow("get") << QStringList{"usb:///dev/x", "get", "/a", "/b"} << run;
    QTest::newRow("set --save") << QStringList{"network://h", "set", "/a=1", "--save"} << run;
    QTest::newRow("state log") << QStringList{"network://h", "state",      "--watch",
                                              "--csv",       "--duration", "2.5"}
                               << run;
    QTest::newRow("load dry run") << QStringList{"network://h", "load", "f", "--dry-run"} << run;
    QTest::newRow("terminal") << QStringList{"usb://p", "terminal"} << run;

    QTest::newRow("nothing") << QStringList{} << usage;
    QTest::newRow("no command") << QStringList{"usb://p"} << usage;
    QTest::newRow("not an address") << QStringList{"/dev/ttyUSB0", "get", "/a"} << usage;
    QTest::newRow("unknown command") << QStringList{"usb://p", "frob"} << usage;
    QTest::newRow("unknown option") << QStringList{"usb://p", "get", "/a", "--frob"} << usage;
    QTest::newRow("get without path") << QStringList{"usb://p", "get"} << usage;
    QTest::newRow("set without setting") << QStringList{"usb://p", "set", "--save"} << usage;
    QTest::newRow("save without file") << QStringList{"usb://p", "save"} << usage;
    QTest::newRow("save two files") << QStringList{"usb://p", "save", "a", "b"} << usage;
    QTest::newRow("terminal with argument") << QStringList{"usb://p", "terminal", "x"} << usage;
    QTest::newRow("option of another command")
        << QStringList{"usb://p", "get", "/a", "--dry-run"} << usage;
    QTest::newRow("--save on save") << QStringList{"usb://p", "save", "f", "--save"} << usage;
    QTest::newRow("csv without watch") << QStringList{"usb://p", "state", "--csv"} << usage;
    QTest::newRow("duration without watch")
        << QStringList{"usb://p", "state", "--duration", "1"} << usage;
    QTest::newRow("csv and json") << QStringList{"usb://p", "state", "--watch", "--csv", "--json"}
                                  << usage;
    QTest::newRow("duration not a number")
        << QStringList{"usb://p", "state", "--watch", "--duration", "soon"} << usage;
    QTest::newRow("duration zero")
        << QStringList{"usb://p", "state", "--watch", "--duration", "0"} << usage;
    QTest::newRow("duration beyond a timer")
        << QStringList{"usb://p", "state", "--watch", "--duration", "1e12"} << usage;
}

void TestCtlCommandLine::outcome()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    CtlCommandLine commandLine;
    QCOMPARE(int(commandLine.parse(QStringList{"vkt-ctl"} + arguments)), outcome);
    QCOMPARE(commandLine.errorText().isEmpty(),
             outcome != int(CtlCommandLine::Outcome::UsageError));
}

void TestCtlCommandLine::request()
{
    CtlCommandLine commandLine;
    QCOMPARE(commandLine.parse({"vkt-ctl", "--watch", "network://10.0.0.5", "state", "--json",
                                "--duration", "1.5"}),
             CtlCommandLine::Outcome::Run);
    const CtlRequest &request = commandLine.request();
    QCOMPARE(request.address, QString("network://10.0.0.5"));
    QCOMPARE(request.command, QString("state"));
    QVERIFY(request.arguments.isEmpty());
    QVERIFY(request.watch && request.json && !request.csv && !request.save && !request.dryRun);
    QCOMPARE(request.durationS, 1.5);

    QCOMPARE(commandLine.parse({"vkt-ctl", "usb://p", "set", "/a=1", "/b=x y"}),
             CtlCommandLine::Outcome::Run);
    QCOMPARE(commandLine.request().arguments, QStringList({"/a=1", "/b=x y"}));
    QVERIFY(!commandLine.request().watch); // nothing left over from the previous parse
}

QTEST_GUILESS_MAIN(TestCtlCommandLine)
#include "tst_ctlcommandline.moc"
