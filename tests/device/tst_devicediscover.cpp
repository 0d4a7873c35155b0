#include "devicediscover.h"
#include "privatenetwork.h"
#include "simprocess.h"

#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

QByteArray answer(int cell)
{
    return QJsonDocument(QJsonObject{{"deviceName", QStringLiteral("Cell-%1").arg(cell)},
                                     {"modelName", "HBN"}})
        .toJson(QJsonDocument::Compact);
}

// The bytes waiting in the receive queue of this namespace's UDP socket on `port`, as the system
// counts them; -1 when there is none.
qint64 receiveQueueBytes(quint16 port)
{
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const char *name : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile table(name);
        table.open(QIODevice::ReadOnly | QIODevice::Text);
        for (const QByteArray &line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 4 && fields.at(1).endsWith(local))
                return fields.at(4).split(':').value(1).toLongLong(nullptr, 16);
        }
    }
    return -1;
}

// Broadcasts as the dialog does and returns the query as a device on port 1993 receives it.
QNetworkDatagram broadcast(DeviceDiscover &discover, QUdpSocket &listener)
{
    discover.startDiscovery();
    if (!listener.hasPendingDatagrams())
        listener.waitForReadyRead(5000);
    return listener.receiveDatagram();
}

} // namespace

// The probe of one serial port, and the broadcast with the replies it reads.
class TestDeviceDiscover : public QObject
{
    Q_OBJECT

private slots:
    void probe_data();
    void probe();
    void broadcastAnswers();
};

void TestDeviceDiscover::probe_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("held"); // the port open elsewhere: not even asked
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("minimumMs");
    QTest::addColumn<int>("maximumMs");
    const int quiet = DeviceDiscover::replyQuietMs;
    const int bound = DeviceDiscover::probeBoundMs;
    // Pauses shorter than the quiet time do not end a reply.
    QTest::newRow("device answering in pieces")
        << QStringList{"--chunk-bytes", "8", "--chunk-pause-ms", "40"} << false << true << 0
        << bound;
    QTest::newRow("silent port: one quiet time")
        << QStringList{"--silent-after", "0"} << false << false << quiet << 10 * quiet;
    QTest::newRow("talks on and on: time bound")
        << QStringList{"--pad-bytes", "60000", "--chunk-bytes", "16", "--chunk-pause-ms", "20"}
        << false << false << bound - 50 << 2 * bound;
    QTest::newRow("floods: size bound")
        << QStringList{"--pad-bytes", "200000", "--chunk-bytes", "4096", "--chunk-pause-ms", "0"}
        << false << false << 0 << bound - 500;
    QTest::newRow("open elsewhere") << QStringList() << true << false << 0 << quiet - 1;
}

void TestDeviceDiscover::probe()
{
    QFETCH(QStringList, options);
    QFETCH(bool, held);
    QFETCH(bool, found);
    QFETCH(int, minimumMs);
    QFETCH(int, maximumMs);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + options));
    QSerialPort holder(sim.serialPath());
    QVERIFY(!held || holder.open(QIODevice::ReadWrite));
    DeviceDiscover discover;
    QSignalSpy reports(&discover, &DeviceDiscover::deviceDiscovered);
    QElapsedTimer clock;
    clock.start();
    discover.probeSerialPort(sim.serialPath());
    const qint64 elapsedMs = clock.elapsed();
    QVERIFY2(elapsedMs >= minimumMs && elapsedMs <= maximumMs, QByteArray::number(elapsedMs));
    QCOMPARE(reports.count(), int(found));
    // Whatever is at the other end gets the one query line and nothing else.
    QCOMPARE(sim.waitForCommand("/deviceId"), held ? -1 : 0);
    QCOMPARE(sim.commands().size(), held ? 0 : 1);
}

// Everything waits in the socket when the event loop comes to it: one device's identity, then
// from a host that is no device replies that are no identity (malformed, or as long as a
// datagram can be), the same identity over and over, then more different names than the bound.
// Each answer is reported once with its sender, no more than the bound, and the event loop has
// its turns before the socket is empty.
void TestDeviceDiscover::broadcastAnswers()
{
    VKT_REQUIRE_PRIVATE_NETWORK();
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::AnyIPv4, 1993));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    // A second call while the probe runs broadcasts all the same.
    QCOMPARE(broadcast(discover, listener).data(), QByteArray("/deviceId"));
    const QNetworkDatagram query = broadcast(discover, listener);
    QCOMPARE(query.data(), QByteArray("/deviceId"));
    const quint16 port = quint16(query.senderPort());
    QVERIFY(port != 1993);
    qint64 leftAtFirstTurn = -1;
    QObject context;
    QObject::connect(&discover, &DeviceDiscover::deviceDiscovered, &context, [&] {
        if (found.count() == 1)
            QMetaObject::invokeMethod(
                &context, [&] { leftAtFirstTurn = receiveQueueBytes(port); }, Qt::QueuedConnection);
    });
    QUdpSocket device;
    QUdpSocket host;
    QVERIFY(device.bind(QHostAddress("127.0.0.3"), 0) && host.bind(QHostAddress("127.0.0.2"), 0));
    QVERIFY(device.writeDatagram(answer(0), query.senderAddress(), port) > 0);
    for (const QByteArray &reply :
         {QByteArray("{\"deviceName\": "), QByteArray("\x00\xff{}", 4), QByteArray("[]"),
          QByteArray(R"({"data": {"/deviceId": 7}})"), QByteArray("Error: busy"),
          QByteArray(R"({"data": {}})"), QByteArray(65507, '[')})
        QVERIFY(host.writeDatagram(reply, query.senderAddress(), port) == reply.size());
    constexpr int repeats = 1000;
    for (int i = 0; i < repeats + DeviceDiscover::answerLimit + 50; ++i)
        QVERIFY(host.writeDatagram(answer(qMax(0, i - repeats)), query.senderAddress(), port) > 0);
    QTRY_COMPARE(receiveQueueBytes(port), qint64(0));
    QVERIFY2(leftAtFirstTurn > 0, QByteArray::number(leftAtFirstTurn));
    QCOMPARE(found.count(), int(DeviceDiscover::answerLimit));
    QSet<QString> reported;
    for (const QList<QVariant> &report : found)
        reported.insert(report[0].toJsonObject().value("deviceName").toString() + ' '
                        + report[1].toString());
    QCOMPARE(reported.size(), int(DeviceDiscover::answerLimit));
    // The same identity from another address is another device.
    for (int i : {0, 1})
        QCOMPARE(found[i][0].toJsonObject(), QJsonDocument::fromJson(answer(0)).object());
    QCOMPARE(found[0][1].toString(), QString("network://127.0.0.3"));
    QCOMPARE(found[1][1].toString(), QString("network://127.0.0.2"));
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QCoreApplication, TestDeviceDiscover)
#include "tst_devicediscover.moc"
