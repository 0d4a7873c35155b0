#include "commandtext.h"
#include "ctlcommandline.h"
#include "privatenetwork.h"
#include "simprocess.h"
#include "smalldisk.h"

#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

// vkt-ctl: what it takes from its command line, types for the device and prints for the
// operator, and the program as a script runs it (arguments, stdin, stdout, stderr and an exit
// status) against the simulated device.
class TestVktCtl : public QObject
{
    Q_OBJECT

private slots:
    void usageError_data();
    void usageError();
    void argument_data();
    void argument();
    void run_data();
    void run();
};

namespace {

constexpr int runBoundMs = 20000;

enum Status { Success = 0, DeviceFailure = 1, Usage = 2, BadFile = 3 };

} // namespace

void TestVktCtl::usageError_data()
{
    QTest::addColumn<QStringList>("arguments");
    const auto row = [](const char *name, const QStringList &arguments) {
        QTest::newRow(name) << arguments;
    };
    row("get without path", {"usb://p", "get"});
    row("save two files", {"usb://p", "save", "a", "b"});
    row("option of another command", {"usb://p", "get", "/a", "--dry-run"});
    row("csv and json", {"usb://p", "state", "--watch", "--csv", "--json"});
    row("duration without watch", {"usb://p", "state", "--duration", "1"});
    for (const char *duration : {"0", "1e12"})
        row(duration, {"usb://p", "state", "--watch", "--duration", duration});
    row("wait zero", {"discover", "--wait", "0"});
}

void TestVktCtl::usageError()
{
    QFETCH(QStringList, arguments);
    CtlCommandLine commandLine;
    QCOMPARE(commandLine.parse(QStringList{"vkt-ctl"} + arguments),
             CtlCommandLine::Outcome::UsageError);
    QVERIFY(!commandLine.errorText().isEmpty());
}

void TestVktCtl::argument_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // empty: refused
    const auto row = [](const char *name, const char *typed, const char *sent) {
        QTest::newRow(name) << QString(typed) << QString(sent);
    };
    row("number as the dashboard writes it", "12.50", "12.5");
    row("JSON string", "\"My Device\"", "My Device");
    row("leading zeros are text", "007", "007");
    row("white space only", " \t ", "");
    row("null would turn into a query", "null", "");
    row("control character as a JSON escape", "\"a\\u0003b\"", "");
}

void TestVktCtl::argument()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    QCOMPARE(CommandText::argument(typed), sent);
}

void TestVktCtl::run_data()
{
    // `link`: "usb", "net", "none" (discover, in a network of its own) or an address, then the
    // sim's options and the test's own: --held (the port open in the test), --as-nobody (vkt-ctl
    // run as user nobody), --full-disk (FILE on a full disk); "| COMMAND" pipes stdout into
    // COMMAND. FILE is a file holding `file` (stdin for "terminal"), PIPE a named pipe beside it;
    // `out` and `after` are patterns stdout and the file then match whole.
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
    // A device's text reaches a terminal: DEL and the C1 controls (an 8-bit CSI) go escaped, as
    // the C0 controls do.
    row("get, name with control characters", "net --config FILE", {"get", "/deviceName"}, Success,
        R"("a\\u001b\[2Jb\\u007f\\u009b31mc\x{e4}"\n)", {},
        "{\"deviceName\": \"a\\u001b[2Jb\\u007f\\u009b31mc\u00e4\"}");
    // "=" would make the query a setting: refused before the device is asked anything.
    // The refusal shows the control character written out, as everything printed for a person.
    for (const char *path : {"/deviceName=x", "/vkt/max Force", "/vkt/max\x01"})
        row(QStringLiteral("get ") + path, "net", {"get", "/deviceId", path}, Usage, "",
            QString(path).replace("\x01", "\\x01"));
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
    row("state log, json lines", "net", {"state", "--watch"}, Success,
        R"((\{"state":\{[^\n]*"dioValue"[^\n]*\},"time":"[^\n]*"\}\n){2,})");
    row("save", "usb", {"save", "FILE"}, Success, "", {}, {}, {},
        R"(\{\n    "hbn": \{.*\n    "vkt": \{.*)");
    // An HBN unit without its tool answers "/vkt/cfgObject" with an error text.
    row("save, device error keeps the old file", "net --no-tool", {"save", "FILE"}, DeviceFailure,
        "", "Error reading configuration from device!", "{}\n", {}, "\\{\\}\n");
    // The file that was there fills the disk: the new one cannot be written beside it.
    row("save, full disk keeps the old file", "net --full-disk", {"save", "FILE"}, DeviceFailure,
        "", "No space left on device", QByteArray(SmallDisk::sizeBytes, 'x'), {}, "(x{16384}){4}");
    // Neither replaced by an ordinary file nor written into (a pipe would hold the run).
    row("save onto a named pipe", "net", {"save", "PIPE"}, DeviceFailure, "", "not a regular file");
    row("load", "net --device vkt", {"load", "FILE"}, Success, "",
        "Configuration downloaded and saved!", R"({"vkt": {"softTouchForce": 0.5}, "x": 1})",
        {"/vkt/softTouchForce=0.5", "/saveConfig"});
    // Every value goes; the device keeps the one it took, but nothing is stored.
    row("load, a value refused: no store", "net --device vkt", {"load", "FILE"}, DeviceFailure, "",
        "refused 1 value(s):\n/vkt/mystery: Error: ",
        R"({"vkt": {"softTouchForce": 0.5, "mystery": 1}})",
        {"/vkt/mystery=1", "/vkt/softTouchForce=0.5"});
    // On an HBN unit the import would send "vkt" and then fail: planned first, nothing goes.
    const QVector<QPair<const char *, QByteArray>> badFiles{
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
        "Error connecting to usb:///dev/vkt-ctl-test-no-such-port: No such file or directory");
    row("port held by another program", "usb --held", {"get", "/deviceId"}, DeviceFailure, "",
        "(the port is in use by another program)");
    row("port this user may not open", "usb --as-nobody", {"get", "/deviceId"}, DeviceFailure, "",
        "Permission denied (serial ports belong to the dialout group");
    row("set, value too long for one datagram", "net",
        {"set", "/vkt/softTouchForce=" + QString(70000, 'a')}, DeviceFailure, "",
        "Datagram was too large to send");
    // Output nobody takes: its reader gone, or stalled until SIGTERM comes (the answers come to
    // far more than a pipe holds).
    row("reader gone", "usb | head -1", {"state", "--watch"}, DeviceFailure, "",
        "cannot write the output: Broken pipe");
    row("reader stalled, then SIGTERM", "usb | sleep 600", {"terminal"}, DeviceFailure, "",
        "cannot write the output: Interrupted system call",
        QByteArray("/vkt/cfgObject\r").repeated(400));
    row("not an address", "/dev/ttyS0", {"get", "/deviceId"}, Usage, "", "/dev/ttyS0");
    row("discover, json", "none --udp-address 0.0.0.0", {"discover", "--json", "--wait", "500"},
        Success,
        R"(\[\s*\{\s*"address": "network://127.0.0.1",\s*"deviceId": \{[^\]]*"HBN-1000"[^\]]*\]\s*)");
    // A name that would forge a line of the table and clear the screen stays one cell.
    row("discover, name with control characters", "none --udp-address 0.0.0.0 --config FILE",
        {"discover", "--wait", "500"}, Success,
        "NAME\tTYPE\tADDRESS\nCell\\\\x0a7\\\\x1b\\[2J\tHBN-1000\tnetwork://127.0.0.1\n", {},
        R"({"deviceName": "Cell\n7\u001b[2J"})");
}

void TestVktCtl::run()
{
    QFETCH(QString, link);
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, reason);
    QFETCH(QByteArray, file);
    QFETCH(QString, after);
    const QStringList reader = link.section(" | ", 1).split(' ', Qt::SkipEmptyParts);
    QStringList sim = link.section(" | ", 0, 0).split(' ');
    QString address = sim.takeFirst();
    if (address == "none" && !PrivateNetwork::isInside())
        QSKIP(qPrintable("no network of its own: " + PrivateNetwork::unavailableReason()));
    const bool asNobody = sim.removeAll("--as-nobody");
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (asNobody && (::geteuid() != 0 || setpriv.isEmpty()))
        QSKIP("running as another user needs root and setpriv (util-linux)");
    QTemporaryDir temporaryDir;
    std::optional<SmallDisk> disk;
    if (sim.removeAll("--full-disk") && !disk.emplace().unavailableReason().isEmpty())
        QSKIP(qPrintable(disk->unavailableReason()));
    const QDir dir(disk ? disk->path() : temporaryDir.path());
    QFile written(dir.filePath("file.par"));
    const bool terminal = arguments.constFirst() == "terminal";
    if (!terminal && !file.isEmpty())
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
    written.close();
    const QString pipe = dir.filePath("pipe");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    for (QStringList *list : {&arguments, &sim})
        list->replaceInStrings("FILE", written.fileName()).replaceInStrings("PIPE", pipe);

    // The terminal's TCP port 23 only for the network terminal.
    const bool tcp = sim.removeAll("--tcp");
    const bool held = sim.removeAll("--held");
    const QString host = SimProcess::uniqueLoopbackAddress();
    SimProcess device;
    QVERIFY(device.start(
        QStringList{"--serial", "--udp-address", host, tcp ? "--tcp-port=23" : "--no-tcp"} + sim));
    QTcpSocket probe;
    probe.connectToHost(host, 23);
    if (tcp && !probe.waitForConnected(3000))
        QSKIP("the simulator could not bind TCP port 23 here");
    QSerialPort holder(device.serialPath());
    QVERIFY(!held || holder.open(QIODevice::ReadWrite));
    if (address == "usb" || address == "net")
        address = address == "usb" ? device.address() : device.networkAddress();
    if (address != "none")
        arguments.prepend(address);

    QProcess ctl;
    QProcess readerProcess;
    if (!reader.isEmpty()) {
        ctl.setStandardOutputProcess(&readerProcess);
        readerProcess.start(reader.first(), reader.mid(1));
    }
    if (asNobody)
        ctl.start(setpriv,
                  QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", VKT_CTL_PATH}
                      + arguments);
    else
        ctl.start(VKT_CTL_PATH, arguments);
    QVERIFY(ctl.waitForStarted(runBoundMs));
    ctl.write(terminal ? file : QByteArray());
    ctl.closeWriteChannel();
    // A log without a duration ends with SIGTERM: every record whole, the last one too.
    if (reader.isEmpty() && arguments.contains("--watch") && !arguments.contains("--duration")) {
        QTRY_VERIFY_WITH_TIMEOUT(device.commands().count("/stateObject") >= 2, 10000);
        ::kill(pid_t(ctl.processId()), SIGTERM);
    }
    if (reader.value(0) == "sleep") {
        const auto blockedInWrite = [&ctl] {
            QFile wchan(QStringLiteral("/proc/%1/wchan").arg(ctl.processId()));
            return wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("pipe_write");
        };
        QTRY_VERIFY_WITH_TIMEOUT(blockedInWrite(), 10000);
        ::kill(pid_t(ctl.processId()), SIGTERM);
    }
    QVERIFY(ctl.waitForFinished(runBoundMs));
    readerProcess.kill();
    readerProcess.waitForFinished(runBoundMs);
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
    QCOMPARE(dir.entryList(QDir::Files), kept ? QStringList{"file.par"} : QStringList());
    QVERIFY(after.isEmpty()
            || (written.open(QIODevice::ReadOnly) && matches(after, written.readAll())));
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QCoreApplication, TestVktCtl)
#include "tst_vktctl.moc"
