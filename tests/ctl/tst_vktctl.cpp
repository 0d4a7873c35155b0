#include "privatenetwork.h"
#include "simprocess.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// vkt-ctl as a script runs it: a program with arguments, stdin, stdout, stderr and an exit
// status, against the simulated device.
class TestVktCtl : public QObject
{
    Q_OBJECT

private slots:
    void run_data();
    void run();
};

namespace {

constexpr int runBoundMs = 20000;

enum Status { Success = 0, DeviceFailure = 1, Usage = 2, BadFile = 3 };

} // namespace

void TestVktCtl::run_data()
{
    // `link`: "usb", "net", "none" (discover, in a network of its own) or an address, then the
    // sim's options. FILE is a file holding `file` (stdin for "terminal"), DIR its folder; `out`
    // and `after` are patterns stdout and the file then match whole.
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("reason"); // in stderr
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("after");
    const auto row = [](const QString &name, const QString &link, const QStringList &arguments,
                        Status status, const QString &out, const QString &reason = {},
                        const QByteArray &file = {}, const QStringList &settings = {},
                        const QString &after = {}) {
        QTest::newRow(qPrintable(name))
            << link << arguments << int(status) << out << reason << file << settings << after;
    };

    row("get, up to an Error answer", "net",
        {"get", "/vkt/maxForce", "/deviceName", "/vkt/nope", "/deviceId"}, DeviceFailure,
        "250\n\"HBN-Sim\"\n", "unknown path /vkt/nope");
    // "=" would make the query a setting: refused before the device is asked anything.
    for (const char *path : {"/deviceName=x", "/vkt/max Force", "/vkt/max\x01"})
        row(QStringLiteral("get ") + path, "net", {"get", "/deviceId", path}, Usage, "", path);
    row("set", "usb", {"set", "/vkt/initialForce=12.50", "--save"}, Success, "", {}, {},
        {"/vkt/initialForce=12.5", "/saveConfig", "/vkt/saveConfig"});
    row("set, refused: no store", "net --device vkt",
        {"set", "/vkt/initialForce=abc", "/vkt/initialMode=1", "--save"}, DeviceFailure, "",
        "initialForce", {}, {"/vkt/initialForce=abc"});
    row("set without value", "net --device vkt", {"set", "/vkt/initialForce=1", "/vkt/initialMode"},
        Usage, "", "/vkt/initialMode");
    row("state", "net --device vkt", {"state"}, Success,
        R"(\{"accelGravity":(?!.*dioValue).*"metricUnits":1.*\}\n)");
    // A poll at connecting, then one every 300 ms.
    row("state log, csv", "net", {"state", "--watch", "--csv", "--duration", "1.2"}, Success,
        R"((# [a-z]+,[^\n]*\r\n){7}elapsed_s,event,metricUnits,[^\n]*\r\n(\d+\.\d{3},,[^\n]*\r\n){3,6})");
    // Ended by SIGTERM: every record whole, the last one too.
    row("state log, json lines", "net", {"state", "--watch"}, Success,
        R"((\{"state":\{[^\n]*"dioValue"[^\n]*\},"time":"[^\n]*"\}\n){2,})");
    row("save", "usb", {"save", "FILE"}, Success, "", {}, {}, {},
        R"(\{\n    "hbn": \{.*\n    "vkt": \{.*)");
    // An HBN unit without its tool answers "/vkt/cfgObject" with an error text.
    row("save, device error keeps the old file", "net --no-tool", {"save", "FILE"}, DeviceFailure,
        "", "Error reading configuration from device!", "{}\n", {}, "\\{\\}\n");
    row("save, unwritable", "net", {"save", "DIR/no/such.par"}, DeviceFailure, "",
        "Error saving file!");
    row("load", "net --device vkt", {"load", "FILE"}, Success, "",
        "Configuration downloaded and saved!", R"({"vkt": {"softTouchForce": 0.5}, "x": 1})",
        {"/vkt/softTouchForce=0.5", "/saveConfig"});
    row("load, no file", "net --device vkt", {"load", "DIR/none.par"}, DeviceFailure, "",
        "Error opening file!");
    // On an HBN unit the import would send "vkt" and then fail: planned first, nothing goes.
    const QVector<QPair<const char *, QByteArray>> badFiles{
        {"not JSON", "{\"vkt\": "},
        {"hbn missing", R"({"vkt": {"a": 5}})"},
        {"too large", "{\"vkt\": {\"a\": \"" + QByteArray(1024 * 1024, 'x') + "\"}}"}};
    for (const auto &bad : badFiles)
        row(QStringLiteral("load, ") + bad.first, "net", {"load", "FILE"}, BadFile, "",
            "Bad configuration file format!", bad.second);
    row("load, dry run", "usb", {"load", "FILE", "--dry-run"}, Success,
        R"((.*\n)?  /hbn/net/timeout: device 30, file 30\n.*\* /vkt/initialForce: device 20, file 33\n)"
        R"(.*\* /vkt/mystery: device \(none\), file 1\n.*)",
        "nothing was sent",
        R"({"vkt": {"initialForce": 33, "mystery": 1}, "hbn": {"net": {"timeout": 30}}})");
    row("terminal, serial", "usb", {"terminal"}, Success, "/vkt/maxForce\r\n250\r\n>>", {},
        "/vkt/maxForce\r");
    row("terminal, network", "net --tcp", {"terminal"}, Success,
        "HBN-Sim \\(HBN-1000\\) terminal\r\n>>.*\r\n50\r\n>>", {}, "/vkt/maxPosition\r\n");
    row("no port", "usb:///dev/vkt-ctl-test-no-such-port", {"save", "FILE"}, DeviceFailure, "",
        "Error connecting");
    row("not an address", "/dev/ttyS0", {"get", "/deviceId"}, Usage, "", "/dev/ttyS0");
    row("discover, table", "none --udp-address 0.0.0.0", {"discover", "--wait", "500"}, Success,
        "NAME\tTYPE\tADDRESS\nHBN-Sim\tHBN-1000\tnetwork://127.0.0.1\n");
    row("discover, json", "none --udp-address 0.0.0.0", {"discover", "--json", "--wait", "500"},
        Success,
        R"(\[\s*\{\s*"address": "network://127.0.0.1",\s*"deviceId": \{[^\]]*"HBN-1000"[^\]]*\]\s*)");
}

void TestVktCtl::run()
{
    QFETCH(QString, link);
    QStringList sim = link.split(' ');
    QString address = sim.takeFirst();
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, reason);
    QFETCH(QByteArray, file);
    QFETCH(QString, after);
    if (address == "none" && !PrivateNetwork::isInside())
        QSKIP(qPrintable("no network of its own: " + PrivateNetwork::unavailableReason()));
    SimProcess device;
    const bool tcp = sim.removeAll("--tcp"); // the terminal port 23, only for the network terminal
    if (!tcp)
        sim.prepend("--no-tcp");
    const QString host = SimProcess::uniqueLoopbackAddress();
    QVERIFY(device.start(QStringList{"--serial", "--udp-address", host} + sim));
    if (tcp) {
        QTcpSocket probe;
        probe.connectToHost(host, 23);
        if (!probe.waitForConnected(3000))
            QSKIP("the simulator could not bind TCP port 23 here");
    }
    QTemporaryDir dir;
    QFile written(dir.filePath("file.par"));
    const bool terminal = arguments.constFirst() == "terminal";
    if (!terminal && !file.isEmpty())
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
    written.close();
    arguments.replaceInStrings("FILE", written.fileName()).replaceInStrings("DIR", dir.path());
    if (address == "usb" || address == "net")
        address = address == "usb" ? device.address() : device.networkAddress();
    if (address != "none")
        arguments.prepend(address);

    QProcess ctl;
    ctl.start(QStringLiteral(VKT_CTL_PATH), arguments);
    QVERIFY(ctl.waitForStarted(runBoundMs));
    ctl.write(terminal ? file : QByteArray());
    ctl.closeWriteChannel();
    if (arguments.contains("--watch") && !arguments.contains("--duration")) {
        QTRY_VERIFY_WITH_TIMEOUT(device.commands().count("/stateObject") >= 2, 10000);
        ::kill(pid_t(ctl.processId()), SIGTERM);
    }
    QVERIFY(ctl.waitForFinished(runBoundMs));
    QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
    QTEST(ctl.exitCode(), "status");
    const auto matches = [](const QString &pattern, const QByteArray &text) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                  QRegularExpression::DotMatchesEverythingOption)
            .match(QString::fromUtf8(text))
            .hasMatch();
    };
    const QByteArray printed = ctl.readAllStandardOutput();
    QVERIFY2(matches(out, printed), printed.constData());
    const QByteArray err = ctl.readAllStandardError();
    QVERIFY2(err.contains(reason.toUtf8()), err.constData());

    // A control line is acknowledged after every traced command, so none is still unread.
    QVERIFY(device.control("silent off"));
    QStringList settings;
    for (const QString &command : device.commands()) {
        if (command.contains('=') || command.endsWith("saveConfig"))
            settings << command;
    }
    QTEST(settings, "settings");
    // Nothing but the file itself is ever left in its folder.
    const bool kept = (!terminal && !file.isEmpty()) || !after.isEmpty();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             kept ? QStringList{"file.par"} : QStringList());
    QVERIFY(after.isEmpty()
            || (written.open(QIODevice::ReadOnly) && matches(after, written.readAll())));
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QCoreApplication, TestVktCtl)
#include "tst_vktctl.moc"
