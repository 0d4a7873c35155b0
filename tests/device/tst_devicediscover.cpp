#include "devicediscover.h"
#include "privatenetwork.h"
#include "remotedevice.h"
#include "simprocess.h"

#include <QElapsedTimer>
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

// A pseudo-terminal held by the test: its slave is the port probed, its master the far end.
class TestPty
{
public:
    TestPty()
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
    }
    ~TestPty()
    {
        stopTalking();
        if (master >= 0)
            ::close(master);
    }

    bool isOpen() const { return !slavePath.isEmpty(); }

    QByteArray received() const
    {
        QByteArray bytes;
        char chunk[256];
        ssize_t n;
        while ((n = ::read(master, chunk, sizeof chunk)) > 0)
            bytes.append(chunk, int(n));
        return bytes;
    }

    // The far end keeps sending `chunk` every `pauseMs` (0: as fast as the line takes it).
    void talkForever(const QByteArray &chunk, int pauseMs)
    {
        talker = std::thread([this, chunk, pauseMs] {
            while (!stop) {
                if (::write(master, chunk.constData(), size_t(chunk.size())) < 0 || pauseMs)
                    std::this_thread::sleep_for(std::chrono::milliseconds(qMax(pauseMs, 1)));
            }
        });
    }
    void stopTalking()
    {
        stop = true;
        if (talker.joinable())
            talker.join();
    }

    int master = -1;
    QString slavePath;

private:
    std::atomic<bool> stop{false};
    std::thread talker;
};

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

// The probe of one serial port and the reading of replies, anywhere.
class TestDeviceDiscover : public QObject
{
    Q_OBJECT

private slots:
    void parseDeviceIdReply_data();
    void parseDeviceIdReply();
    void probeFindsSimulatedDevice_data();
    void probeFindsSimulatedDevice();
    void probeWithoutDevice_data();
    void probeWithoutDevice();
    void probeSkipsPortOpenElsewhere();
    void broadcastReachesResponder();
    void broadcastReachesSimulatedDevice();
    void broadcastAnsweredByMany();

private:
    void requirePrivateNetwork();
};

void TestDeviceDiscover::parseDeviceIdReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QJsonObject>("identity");

    const QJsonObject sample{{"deviceName", "HBN-00031"}, {"modelName", "HBN-CORE"}};
    const QJsonObject wrapped{{"data", QJsonObject{{"/deviceId", sample}}}};
    QTest::newRow("root object") << json(sample) << sample;
    QTest::newRow("serial: echo, object, prompt")
        << serialQuery + "\r\n" + json(sample) + "\r\n>>" << sample;
    QTest::newRow("serial: echo twice") << serialQuery + serialQuery + json(sample) << sample;
    QTest::newRow("network: data and /deviceId") << json(wrapped) << sample;
    QTest::newRow("root without data, any keys")
        << QByteArray(R"({"x": 1})") << QJsonObject{{"x", 1}};
    QTest::newRow("empty data") << QByteArray(R"({"data": {}})") << QJsonObject();
    QTest::newRow("data not an object") << QByteArray(R"({"data": 5})") << QJsonObject();
    QTest::newRow("/deviceId not an object")
        << QByteArray(R"({"data": {"/deviceId": "HBN"}})") << QJsonObject();
    QTest::newRow("identity under another path")
        << QByteArray(R"({"data": {"/stateObject": {"deviceName": "x"}}})") << QJsonObject();
    QTest::newRow("not JSON") << QByteArray("Error: unknown path\r\n>>") << QJsonObject();
    QTest::newRow("cut short") << json(sample).left(10) << QJsonObject();
    QTest::newRow("not an object") << QByteArray(R"(["deviceName"])") << QJsonObject();
    QTest::newRow("nothing") << QByteArray() << QJsonObject();
    QTest::newRow("echo and prompt only") << serialQuery + "\r\n>>" << QJsonObject();
}

void TestDeviceDiscover::parseDeviceIdReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QJsonObject, identity);
    QCOMPARE(DeviceDiscover::parseDeviceIdReply(reply), identity);
}

void TestDeviceDiscover::probeFindsSimulatedDevice_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::newRow("hbn") << QStringList{"--device", "hbn"};
    QTest::newRow("vkt alone") << QStringList{"--device", "vkt"};
    // Pauses shorter than the quiet time do not end the reply.
    QTest::newRow("reply in pieces") << QStringList{"--chunk-bytes", "8", "--chunk-pause-ms", "40"};
}

void TestDeviceDiscover::probeFindsSimulatedDevice()
{
    QFETCH(QStringList, simArguments);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + simArguments));

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
    QTest::addColumn<int>("minimumMs");
    QTest::addColumn<int>("maximumMs");

    const int quiet = DeviceDiscover::replyQuietMs;
    const int bound = DeviceDiscover::probeBoundMs;
    QTest::newRow("silent port: one quiet time") << QByteArray() << 0 << quiet << 10 * quiet;
    // A valid identity, over and over, is no single reply.
    QTest::newRow("talks forever: time bound")
        << json(rawIdentity) << 20 << bound - 50 << 2 * bound;
    QTest::newRow("floods: size bound") << QByteArray(4096, 'x') << 0 << 0 << bound - 500;
}

void TestDeviceDiscover::probeWithoutDevice()
{
    QFETCH(QByteArray, talk);
    QFETCH(int, pauseMs);
    QFETCH(int, minimumMs);
    QFETCH(int, maximumMs);

    TestPty pty;
    QVERIFY(pty.isOpen());
    if (!talk.isEmpty())
        pty.talkForever(talk, pauseMs);

    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    QElapsedTimer clock;
    clock.start();
    discover.probeSerialPort(pty.slavePath);
    const qint64 elapsedMs = clock.elapsed();
    pty.stopTalking();

    QVERIFY2(elapsedMs >= minimumMs && elapsedMs <= maximumMs,
             qPrintable(QStringLiteral("probe took %1 ms").arg(elapsedMs)));
    QCOMPARE(found.count(), 0);
    // Whatever is at the other end gets the one query line and nothing else.
    QCOMPARE(pty.received(), serialQuery);
}

void TestDeviceDiscover::probeSkipsPortOpenElsewhere()
{
    TestPty pty;
    QVERIFY(pty.isOpen());
    QSerialPort holder(pty.slavePath);
    QVERIFY(holder.open(QIODevice::ReadWrite));

    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    QElapsedTimer clock;
    clock.start();
    discover.probeSerialPort(pty.slavePath);
    QVERIFY2(clock.elapsed() < DeviceDiscover::replyQuietMs,
             qPrintable(QStringLiteral("probe took %1 ms").arg(clock.elapsed())));
    QCOMPARE(found.count(), 0);
    QCOMPARE(pty.received(), QByteArray());
}

void TestDeviceDiscover::requirePrivateNetwork()
{
    if (!PrivateNetwork::isInside())
        QSKIP(qPrintable(QStringLiteral("no private network namespace, so no broadcast: ")
                         + PrivateNetwork::unavailableReason()));
}

// The real datagram, as a raw peer on 0.0.0.0:1993 sees it; the peer's answers in several shapes.
void TestDeviceDiscover::broadcastReachesResponder()
{
    requirePrivateNetwork();
    QUdpSocket responder;
    QVERIFY(responder.bind(QHostAddress::AnyIPv4, 1993));

    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    for (int round = 0; round < 2; ++round) {
        // A second call while the probe may still run broadcasts all the same.
        discover.startDiscovery();
        QVERIFY(responder.hasPendingDatagrams() || responder.waitForReadyRead(5000));
        const QNetworkDatagram query = responder.receiveDatagram();
        QCOMPARE(query.data(), QByteArray("/deviceId"));
        QVERIFY(query.senderPort() != 1993);
        // Unusable answers are dropped; the usable one behind them still counts.
        for (const QByteArray &answer :
             {QByteArray("Error: busy"), QByteArray(R"({"data": {}})"), json(rawIdentity)})
            responder.writeDatagram(query.makeReply(answer));
        QVERIFY(found.wait(5000));
    }
    QCOMPARE(found.count(), 2);
    for (const QList<QVariant> &report : found) {
        QCOMPARE(report[0].toJsonObject(), rawIdentity);
        QCOMPARE(report[1].toString(), QStringLiteral("network://127.0.0.1"));
    }
}

void TestDeviceDiscover::broadcastReachesSimulatedDevice()
{
    requirePrivateNetwork();
    SimProcess sim;
    QVERIFY(sim.start({"--no-tcp", "--udp-address", "0.0.0.0"}));

    DeviceDiscover discover;
    QSignalSpy found(&discover, &DeviceDiscover::deviceDiscovered);
    discover.startDiscovery();
    QVERIFY(found.wait(5000));
    QCOMPARE(found[0][1].toString(), QStringLiteral("network://127.0.0.1"));

    RemoteDevice device;
    QVERIFY(device.connectDevice(found[0][1].toString()));
    QCOMPARE(found[0][0].toJsonObject(), device.deviceIdRecord());
}

// Fifty devices answer at once, among replies that are no identity: malformed, or as long as a
// datagram can be (an IPv4 datagram holds at most 65,507 bytes, so none is over 64 KiB).
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
    discover.startDiscovery();
    QVERIFY(listener.hasPendingDatagrams() || listener.waitForReadyRead(5000));
    const QNetworkDatagram query = listener.receiveDatagram();

    // Every responder sends something malformed first; a few also the longest datagram there
    // is. They are devices of their own, so they answer from a thread of their own while the
    // discovery reads on this one.
    const QByteArray padded = R"({"data": {}, "pad": ")" + QByteArray(maxDatagramBytes, 'x');
    const QByteArrayList huge{
        QByteArray(maxDatagramBytes, '['), // nested far beyond what the parser takes
        padded.left(maxDatagramBytes - 2) + "\"}",
    };
    const QByteArrayList malformed{"{\"deviceName\": ", QByteArray("\x00\xff{}", 4), "[]",
                                   R"({"data": {"/deviceId": 7}})"};
    QSet<QString> expected;
    for (int i = 0; i < devices; ++i)
        expected.insert(QStringLiteral("network://127.0.0.%1").arg(i + 2));
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
            for (const QByteArray &reply : replies) {
                if (responder.writeDatagram(reply, query.senderAddress(), query.senderPort())
                    == reply.size())
                    ++sent;
            }
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
    QCOMPARE(addresses, expected);
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QCoreApplication, TestDeviceDiscover)

#include "tst_devicediscover.moc"
