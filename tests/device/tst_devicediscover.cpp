#include "devicediscover.h"
#include "privatenetwork.h"
#include "remotedevice.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray serialQuery = QByteArrayLiteral("/deviceId\r\n");
const QJsonObject rawIdentity{{"deviceName", "RAW-0001"}, {"modelName", "RAW-PEER"}};

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A pseudo-terminal held by the test: its slave is the port probed, its master the far end,
// which may keep sending `chunk` every `pauseMs` (0: as fast as the line takes it).
class TestPty
{
public:
    TestPty(const QByteArray &chunk, int pauseMs)
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        slavePath = QString::fromLocal8Bit(ptsname(master));
        // Raw from the start, so bytes written before the probe opens it are not line-edited.
        const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        termios settings{};
        tcgetattr(slave, &settings);
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
        ::close(slave);
        if (chunk.isEmpty())
            return;
        talker = std::thread([this, chunk, pauseMs] {
            while (!stop) {
                if (::write(master, chunk.constData(), size_t(chunk.size())) < 0 || pauseMs)
                    std::this_thread::sleep_for(std::chrono::milliseconds(qMax(pauseMs, 1)));
            }
        });
    }
    ~TestPty()
    {
        stopTalking();
        if (master >= 0)
            ::close(master);
    }
    void stopTalking()
    {
        stop = true;
        if (talker.joinable())
            talker.join();
    }
    QByteArray received() const
    {
        QByteArray bytes;
        char chunk[256];
        ssize_t n;
        while ((n = ::read(master, chunk, sizeof chunk)) > 0)
            bytes.append(chunk, int(n));
        return bytes;
    }

    int master = -1;
    QString slavePath;

private:
    std::atomic<bool> stop{false};
    std::thread talker;
};

// The bytes waiting in the receive queue of this namespace's UDP socket on `port` (IPv4, or
// IPv6 as a socket that was never bound takes), as the system counts them; -1 when none is there.
qint64 receiveQueueBytes(quint16 port)
{
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const char *name : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile table(QString::fromLatin1(name));
        if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        for (const QByteArray &line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 4 && fields.at(1).endsWith(local))
                return fields.at(4).split(':').value(1).toLongLong(nullptr, 16);
        }
    }
    return -1;
}

} // namespace

// The probe of one serial port, the broadcast, and the reading of replies.
class TestDeviceDiscover : public QObject
{
    Q_OBJECT

private slots:
    void parseDeviceIdReply_data();
    void parseDeviceIdReply();
    void probeFindsSimulatedDevice();
    void probeWithoutDevice_data();
    void probeWithoutDevice();
    void broadcastAnsweredByMany();
    void floodFromOneHost();

private:
    void requirePrivateNetwork();
};

void TestDeviceDiscover::parseDeviceIdReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QJsonObject>("identity");

    const QJsonObject sample{{"deviceName", "HBN-00031"}, {"modelName", "HBN-CORE"}};
    QTest::newRow("root object") << json(sample) << sample;
    QTest::newRow("serial: echo, object, prompt")
        << serialQuery + "\r\n" + json(sample) + "\r\n>>" << sample;
    QTest::newRow("network: data and /deviceId")
        << json({{"data", QJsonObject{{"/deviceId", sample}}}}) << sample;
    QTest::newRow("/deviceId not an object")
        << QByteArray(R"({"data": {"/deviceId": "HBN"}})") << QJsonObject();
    QTest::newRow("identity under another path")
        << QByteArray(R"({"data": {"/stateObject": {"deviceName": "x"}}})") << QJsonObject();
    QTest::newRow("not JSON") << QByteArray("Error: unknown path\r\n>>") << QJsonObject();
    QTest::newRow("echo and prompt only") << serialQuery + "\r\n>>" << QJsonObject();
}

void TestDeviceDiscover::parseDeviceIdReply()
{
    QFETCH(QByteArray, reply);
    QTEST(DeviceDiscover::parseDeviceIdReply(reply), "identity");
}

void TestDeviceDiscover::probeFindsSimulatedDevice()
{
    // Pauses shorter than the quiet time do not end the reply.
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly()
                      + QStringList{"--chunk-bytes", "8", "--chunk-pause-ms", "40"}));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    discover.probeSerialPort(sim.serialPath());
    QCOMPARE(found.count(), 1);
    QCOMPARE(found[0][1].toString(), sim.address());
    QCOMPARE(sim.waitForCommand(QStringLiteral("/deviceId")), 0);
    QCOMPARE(sim.commands().size(), 1);
    // The identity found is the one the link gets on connecting to the address found.
    RemoteDevice device;
    QVERIFY(device.connectDevice(found[0][1].toString()));
    QCOMPARE(found[0][0].toJsonObject(), device.deviceIdRecord());
    QVERIFY(!device.deviceIdRecord().value("deviceName").toString().isEmpty());
}

void TestDeviceDiscover::probeWithoutDevice_data()
{
    QTest::addColumn<QByteArray>("talk"); // what the far end keeps sending; empty: silence
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("held"); // the port open elsewhere: not even queried
    QTest::addColumn<int>("minimumMs");
    QTest::addColumn<int>("maximumMs");

    const int quiet = DeviceDiscover::replyQuietMs;
    const int bound = DeviceDiscover::probeBoundMs;
    QTest::newRow("silent port: one quiet time")
        << QByteArray() << 0 << false << quiet << 10 * quiet;
    // A valid identity, over and over, is no single reply.
    QTest::newRow("talks forever: time bound")
        << json(rawIdentity) << 20 << false << bound - 50 << 2 * bound;
    QTest::newRow("floods: size bound") << QByteArray(4096, 'x') << 0 << false << 0 << bound - 500;
    QTest::newRow("open elsewhere") << QByteArray() << 0 << true << 0 << quiet - 1;
}

void TestDeviceDiscover::probeWithoutDevice()
{
    QFETCH(QByteArray, talk);
    QFETCH(int, pauseMs);
    QFETCH(bool, held);
    QFETCH(int, minimumMs);
    QFETCH(int, maximumMs);

    TestPty pty(talk, pauseMs);
    QVERIFY(!pty.slavePath.isEmpty());
    QSerialPort holder(pty.slavePath);
    QVERIFY(!held || holder.open(QIODevice::ReadWrite));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    QElapsedTimer clock;
    clock.start();
    discover.probeSerialPort(pty.slavePath);
    const qint64 elapsedMs = clock.elapsed();
    pty.stopTalking();

    QVERIFY2(elapsedMs >= minimumMs && elapsedMs <= maximumMs, QByteArray::number(elapsedMs));
    QCOMPARE(found.count(), 0);
    // Whatever is at the other end gets the one query line and nothing else.
    QCOMPARE(pty.received(), held ? QByteArray() : serialQuery);
}

void TestDeviceDiscover::requirePrivateNetwork()
{
    if (!PrivateNetwork::isInside())
        QSKIP(qPrintable(QStringLiteral("no private network namespace, so no broadcast: ")
                         + PrivateNetwork::unavailableReason()));
}

// Fifty devices answer at once, each after a reply that is no identity: malformed, or as long
// as a datagram can be (an IPv4 datagram holds at most 65,507 bytes, so none is over 64 KiB).
void TestDeviceDiscover::broadcastAnsweredByMany()
{
    requirePrivateNetwork();
    constexpr int devices = 50;
    constexpr int maxDatagramBytes = 65507;
    constexpr int searchPeriodMs = 5000; // the connect dialog's
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::AnyIPv4, 1993));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    QElapsedTimer clock;
    clock.start();
    // The real datagram, as a raw peer on 0.0.0.0:1993 sees it; a second call while the probe
    // runs broadcasts all the same.
    QNetworkDatagram query;
    for (int round = 0; round < 2; ++round) {
        discover.startDiscovery();
        QVERIFY(listener.hasPendingDatagrams() || listener.waitForReadyRead(5000));
        query = listener.receiveDatagram();
        QCOMPARE(query.data(), QByteArray("/deviceId"));
        QVERIFY(query.senderPort() != 1993);
    }

    // Devices of their own: they answer from a thread while the discovery reads on this one.
    const QByteArray padded = R"({"data": {}, "pad": ")" + QByteArray(maxDatagramBytes, 'x');
    const QByteArrayList huge{QByteArray(maxDatagramBytes, '['),
                              padded.left(maxDatagramBytes - 2) + "\"}"};
    const QByteArrayList malformed{"{\"deviceName\": ",
                                   QByteArray("\x00\xff{}", 4),
                                   "[]",
                                   R"({"data": {"/deviceId": 7}})",
                                   "Error: busy",
                                   R"({"data": {}})"};
    std::atomic<int> sent{0};
    std::thread responders([&] {
        for (int i = 0; i < devices; ++i) {
            QUdpSocket responder;
            if (!responder.bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(i + 2)), 0))
                return;
            QByteArrayList replies{malformed.at(i % malformed.size())};
            if (i % 10 == 0)
                replies << huge.at(i / 10 % huge.size());
            replies << json(
                {{"deviceName", QStringLiteral("Cell-%1").arg(i)}, {"modelName", "HBN"}});
            for (const QByteArray &reply : replies)
                sent += responder.writeDatagram(reply, query.senderAddress(), query.senderPort())
                        == reply.size();
        }
    });
    const auto joinResponders = qScopeGuard([&] {
        if (responders.joinable())
            responders.join();
    });
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), devices, searchPeriodMs);
    responders.join();
    QCOMPARE(sent.load(), 2 * devices + devices / 10);
    QVERIFY(discover.wait(qMax<qint64>(0, searchPeriodMs - clock.elapsed())));
    QVERIFY2(clock.elapsed() < searchPeriodMs, QByteArray::number(clock.elapsed()));
    QSet<QString> addresses;
    for (const QList<QVariant> &report : found) {
        const QString address = report[1].toString();
        QCOMPARE(report[0].toJsonObject().value("deviceName").toString(),
                 QStringLiteral("Cell-%1").arg(address.section('.', -1).toInt() - 2));
        addresses.insert(address);
    }
    QCOMPARE(addresses.size(), devices);
}

// One host answers as fast as it can, and all of it waits in the socket when the event loop
// comes to it: the same identity over and over, then more different names than the bound.
// Each answer is reported once, no more than the bound, and the event loop has its turns
// before the socket is empty.
void TestDeviceDiscover::floodFromOneHost()
{
    requirePrivateNetwork();
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::AnyIPv4, 1993));
    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    discover.startDiscovery();
    QVERIFY(listener.waitForReadyRead(5000));
    const QNetworkDatagram query = listener.receiveDatagram();
    const quint16 port = quint16(query.senderPort());

    // The first report asks for a turn of the event loop, and looks at the socket then.
    qint64 leftAtFirstTurn = -1;
    QObject context;
    QObject::connect(&discover, &DeviceDiscover::deviceDiscovered, &context, [&] {
        if (found.count() == 1)
            QMetaObject::invokeMethod(
                &context, [&] { leftAtFirstTurn = receiveQueueBytes(port); }, Qt::QueuedConnection);
    });
    QUdpSocket host;
    QVERIFY(host.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    const auto answer = [](int cell) {
        return json({{"deviceName", QStringLiteral("Cell-%1").arg(cell)}, {"modelName", "HBN"}});
    };
    constexpr int names = DeviceDiscover::answerLimit + 50;
    constexpr int repeats = 1000;
    for (int i = 0; i < names + repeats; ++i) {
        const QByteArray datagram = answer(i < repeats ? 0 : i - repeats);
        QCOMPARE(host.writeDatagram(datagram, query.senderAddress(), port), datagram.size());
    }
    QTRY_VERIFY(receiveQueueBytes(port) == 0);
    QVERIFY2(leftAtFirstTurn > 0, QByteArray::number(leftAtFirstTurn));
    QCOMPARE(found.count(), int(DeviceDiscover::answerLimit));
    QSet<QString> reported;
    for (const QList<QVariant> &report : found)
        reported.insert(report[0].toJsonObject().value("deviceName").toString());
    QCOMPARE(reported.size(), int(DeviceDiscover::answerLimit));
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QCoreApplication, TestDeviceDiscover)

#include "tst_devicediscover.moc"
