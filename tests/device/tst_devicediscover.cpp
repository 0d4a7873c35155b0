#include "devicediscover.h"
#include "privatenetwork.h"
#include "remotedevice.h"
#include "simprocess.h"

#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <atomic>
#include <thread>

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
    void broadcastAnsweredByMany();
    void floodFromOneHost();
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
    if (!found)
        return;
    // The identity found is the one the link gets on connecting to the address found.
    RemoteDevice device;
    QVERIFY(device.connectDevice(reports[0][1].toString()));
    QCOMPARE(reports[0][0].toJsonObject(), device.deviceIdRecord());
}

// Fifty devices answer at once, each after a reply that is no identity: malformed, or as long
// as a datagram can be (an IPv4 datagram holds at most 65,507 bytes, so none is over 64 KiB).
void TestDeviceDiscover::broadcastAnsweredByMany()
{
    VKT_REQUIRE_PRIVATE_NETWORK();
    constexpr int devices = 50;
    constexpr int searchPeriodMs = 5000; // the connect dialog's
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::AnyIPv4, 1993));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    QElapsedTimer clock;
    clock.start();
    // A second call while the probe runs broadcasts all the same.
    QCOMPARE(broadcast(discover, listener).data(), QByteArray("/deviceId"));
    const QNetworkDatagram query = broadcast(discover, listener);
    QCOMPARE(query.data(), QByteArray("/deviceId"));
    QVERIFY(query.senderPort() != 1993);

    const QByteArrayList malformed{"{\"deviceName\": ",
                                   QByteArray("\x00\xff{}", 4),
                                   "[]",
                                   R"({"data": {"/deviceId": 7}})",
                                   "Error: busy",
                                   R"({"data": {}})",
                                   QByteArray(65507, '[')};
    std::atomic<int> sent{0};
    // Devices of their own: they answer from a thread while the discovery reads on this one.
    std::thread responders([&] {
        for (int i = 0; i < devices; ++i) {
            QUdpSocket responder;
            if (!responder.bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(i + 2)), 0))
                return;
            QByteArrayList replies{malformed.at(i % 6)};
            if (i % 10 == 0)
                replies << malformed.last();
            for (const QByteArray &reply : replies + QByteArrayList{answer(i)})
                sent += responder.writeDatagram(reply, query.senderAddress(), query.senderPort())
                        == reply.size();
        }
    });
    const auto joinResponders = qScopeGuard([&] { responders.join(); });
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), devices, searchPeriodMs);
    QVERIFY(discover.wait(qMax<qint64>(0, searchPeriodMs - clock.elapsed())));
    QVERIFY2(clock.elapsed() < searchPeriodMs, QByteArray::number(clock.elapsed()));
    QCOMPARE(sent.load(), 2 * devices + devices / 10);
    QSet<QString> addresses;
    for (const QList<QVariant> &report : found) {
        const QString address = report[1].toString();
        QCOMPARE(report[0].toJsonObject(),
                 QJsonDocument::fromJson(answer(address.section('.', -1).toInt() - 2)).object());
        addresses.insert(address);
    }
    QCOMPARE(addresses.size(), devices);
}

// One host answers as fast as it can, and all of it waits in the socket when the event loop
// comes to it: the same identity over and over, then more different names than the bound. Each
// answer is reported once, no more than the bound, and the event loop has its turns before the
// socket is empty.
void TestDeviceDiscover::floodFromOneHost()
{
    VKT_REQUIRE_PRIVATE_NETWORK();
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::AnyIPv4, 1993));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    const QNetworkDatagram query = broadcast(discover, listener);
    const quint16 port = quint16(query.senderPort());
    qint64 leftAtFirstTurn = -1;
    QObject context;
    QObject::connect(&discover, &DeviceDiscover::deviceDiscovered, &context, [&] {
        if (found.count() == 1)
            QMetaObject::invokeMethod(
                &context, [&] { leftAtFirstTurn = receiveQueueBytes(port); }, Qt::QueuedConnection);
    });
    QUdpSocket host;
    QVERIFY(host.bind(QHostAddress("127.0.0.2"), 0));
    constexpr int repeats = 1000;
    for (int i = 0; i < repeats + DeviceDiscover::answerLimit + 50; ++i)
        QVERIFY(host.writeDatagram(answer(qMax(0, i - repeats)), query.senderAddress(), port) > 0);
    QTRY_COMPARE(receiveQueueBytes(port), qint64(0));
    QVERIFY2(leftAtFirstTurn > 0, QByteArray::number(leftAtFirstTurn));
    QCOMPARE(found.count(), int(DeviceDiscover::answerLimit));
    QSet<QString> reported;
    for (const QList<QVariant> &report : found)
        reported.insert(report[0].toJsonObject().value("deviceName").toString());
    QCOMPARE(reported.size(), int(DeviceDiscover::answerLimit));
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QCoreApplication, TestDeviceDiscover)
#include "tst_devicediscover.moc"
