// vkt-sim: command routing and refusals and its command line without a process; then the program
// through plain Qt ports and sockets, never device/ code: the terminal protocol over a
// pseudo-terminal and the reply datagrams, byte for byte, and its trace.
#include "simdevice.h"
#include "simoptions.h"
#include "simprocess.h"

#include <QNetworkDatagram>
#include <QSerialPort>
#include <QUdpSocket>
#include <QtTest>

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void routing_data();
    void routing();
    void options_data();
    void options();
    void serial_data();
    void serial();
    void datagrams();
};

void TestSim::routing_data()
{
    QTest::addColumn<bool>("standalone");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
    QTest::newRow("hbn has no tool net") << false << "/vkt/net/dhcp=1"
                                         << "Error: unknown path /vkt/net/dhcp";
    QTest::newRow("read-only") << false << "/vkt/maxForce=5"
                               << "Error: /vkt/maxForce cannot be set";
    QTest::newRow("fraction above 1") << false << "/vkt/softTouchForce=1.5"
                                      << "Error: invalid value 1.5 for softTouchForce";
    QTest::newRow("vkt own net") << true << "/vkt/net/timeout=12"
                                 << "12";
}

void TestSim::routing()
{
    QFETCH(bool, standalone);
    QFETCH(QString, command);
    QFETCH(QString, answer);
    SimDevice::Settings settings;
    settings.standalone = standalone;
    SimDevice device(settings);
    QString error;
    QVERIFY(device.start(&error));
    const QString path = command.section('=', 0, 0);
    const QByteArray before = device.handle(path).terminalBytes();
    QCOMPARE(QString::fromUtf8(device.handle(command).terminalBytes()), answer);
    if (answer.startsWith("Error")) // a refused setting changes nothing
        QCOMPARE(device.handle(path).terminalBytes(), before);
}

void TestSim::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error"); // empty: the sim runs
    QTest::addColumn<bool>("serial");
    const auto row = [](const char *name, const QStringList &arguments, const QString &error,
                        bool serial = false) {
        QTest::newRow(name) << arguments << error << serial;
    };
    row("default", {}, "");
    row("link implies serial", {"--link", "/tmp/sim-link"}, "", true);
    row("out of range", {"--drop-percent", "101"}, "invalid value for --drop-percent: 101");
    row("not whole", {"--udp-port", "1.5"}, "--udp-port takes a whole number");
    row("positional argument", {"x"}, "unexpected argument x");
}

void TestSim::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    SimOptions options;
    const SimOptions::Outcome outcome = options.parse(QStringList{"vkt-sim"} + arguments);
    QCOMPARE(options.errorText(), error);
    QCOMPARE(outcome, error.isEmpty() ? SimOptions::Outcome::Run : SimOptions::Outcome::Error);
    QTEST(options.serial, "serial");
}

void TestSim::serial_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected"); // and nothing after it
    QTest::newRow("query") << QByteArray("/vkt/maxForce\r\n")
                           << QByteArray("/vkt/maxForce\r\n250\r\n>>");
    QTest::newRow("bare CR") << QByteArray("\r") << QByteArray("\r\n>>");
    QTest::newRow("backspace edits the line, control bytes are ignored")
        << QByteArray("/vkt/maxForcX\b\x01"
                      "e\n")
        << QByteArray("/vkt/maxForcX\b \be\r\n250\r\n>>");
    QTest::newRow("string answer is JSON")
        << QByteArray("/deviceName=Bench-7\r\n")
        << QByteArray("/deviceName=Bench-7\r\n\"Bench-7\"\r\n>>");
}

void TestSim::serial()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly()));
    QSerialPort port(sim.serialPath());
    QVERIFY(port.open(QIODevice::ReadWrite) && port.setBaudRate(QSerialPort::Baud115200));
    port.write(written);
    QByteArray bytes;
    while (!bytes.endsWith(expected)
           && (port.bytesAvailable() || port.waitForReadyRead(SimProcess::replyWaitMs)))
        bytes += port.readAll();
    QCOMPARE(bytes, expected);
    QVERIFY(!port.waitForReadyRead(500));
}

void TestSim::datagrams()
{
    const QString address = SimProcess::uniqueLoopbackAddress();
    SimProcess sim;
    QVERIFY(sim.start({"--udp-address", address, "--no-tcp"}));
    QUdpSocket socket;
    const QVector<QPair<QByteArray, QByteArray>> exchanges{
        {"/vkt/maxForce", R"({"data":{"/vkt/maxForce":250}})"},
        {"/deviceName=Bench-7", R"({"data":{"/deviceName":"Bench-7"}})"},
        {"/no/such", R"({"data":{"/no/such":"Error: unknown path /no/such"}})"}};
    for (const auto &exchange : exchanges) {
        socket.writeDatagram(exchange.first, QHostAddress(address), 1993);
        QVERIFY(socket.hasPendingDatagrams() || socket.waitForReadyRead(SimProcess::replyWaitMs));
        QCOMPARE(socket.receiveDatagram().data(), exchange.second);
    }
    QVERIFY(sim.waitForCommand("/no/such") >= 0);
    QCOMPARE(sim.commands(), QStringList({"/vkt/maxForce", "/deviceName=Bench-7", "/no/such"}));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
