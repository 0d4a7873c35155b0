// vkt-sim through plain Qt ports and sockets, never device/ code: the terminal protocol over a
// pseudo-terminal and the reply datagrams, byte for byte, and its trace.
#include "simprocess.h"

#include <QNetworkDatagram>
#include <QSerialPort>
#include <QUdpSocket>
#include <QtTest>

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void serial_data();
    void serial();
    void datagrams();
};

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
