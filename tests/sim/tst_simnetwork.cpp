// vkt-sim over UDP and its TCP terminal, driven with plain sockets on loopback addresses of
// their own, and the device model as the dashboard sees it through polls.
#include "simprocess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

namespace {

const QString address = QStringLiteral("127.0.0.143");
constexpr quint16 devicePort = 1993;
constexpr quint16 terminalPort = 52323;

QStringList networkArguments(const QStringList &extra = {})
{
    return QStringList{"--udp-address", address, "--tcp-port", QString::number(terminalPort)} +
           extra;
}

class UdpClient
{
public:
    // The raw reply datagram, or nothing when none came in time.
    QByteArray exchangeRaw(const QByteArray &command, int timeoutMs = SimProcess::replyWaitMs)
    {
        socket.writeDatagram(command, QHostAddress(address), devicePort);
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(timeoutMs))
            return QByteArray();
        return socket.receiveDatagram().data();
    }

    // The answer under "data" and the command's path.
    QJsonValue exchange(const QByteArray &command)
    {
        const QJsonObject root = QJsonDocument::fromJson(exchangeRaw(command)).object();
        const QString path = QString::fromUtf8(command).section(QLatin1Char('='), 0, 0);
        return root.value(QStringLiteral("data")).toObject().value(path);
    }

    double state(const char *member)
    {
        return exchange("/stateObject").toObject().value(QLatin1String(member)).toDouble(-1e9);
    }

private:
    QUdpSocket socket;
};

} // namespace

class TestSimNetwork : public QObject
{
    Q_OBJECT

private slots:
    void goldenDatagrams();
    void unitSwitchConvertsReportsAndSettings_data();
    void unitSwitchConvertsReportsAndSettings();
    void invalidValueChangesNothing();
    void forceFollowsCommand();
    void positionMovesWithinStroke();
    void weighing_data();
    void weighing();
    void droppedAndGarbledReplies();
    void tcpTerminal();
    void standaloneVkt();
};

void TestSimNetwork::goldenDatagrams()
{
    SimProcess sim(networkArguments({"--max-force", "250"}));
    QVERIFY(sim.start());
    QVERIFY(sim.hasLine("udp: " + address + ":1993"));
    UdpClient client;
    QCOMPARE(client.exchangeRaw("/vkt/maxForce"), QByteArray(R"({"data":{"/vkt/maxForce":250}})"));
    const QJsonObject id = client.exchange("/deviceId").toObject();
    QVERIFY(!id.value("deviceName").toString().isEmpty());
    QCOMPARE(id.value("modelName").toString(), QStringLiteral("HBN-1000"));
    QCOMPARE(client.exchange("/vkt/deviceId").toObject().value("modelName").toString(),
             QStringLiteral("VKT-250"));
    QCOMPARE(client.exchange("/no/such").toString(),
             QStringLiteral("Error: unknown path /no/such"));
    const QJsonObject state = client.exchange("/stateObject").toObject();
    for (const char *member : {"metricUnits", "actualForce", "actualPosition", "accelGravity",
                               "commandForce", "commandPosition", "payloadWeight", "controlMode",
                               "posLimitPosition", "negLimitPosition", "dioValue"})
        QVERIFY2(state.value(QLatin1String(member)).isDouble(), member);
    const QJsonObject module = client.exchange("/hbn/anybus/moduleInfo").toObject();
    QCOMPARE(module.keys(), QStringList({"ipAddress", "moduleType", "usesBaudrate", "usesNodeId"}));
}

void TestSimNetwork::unitSwitchConvertsReportsAndSettings_data()
{
    QTest::addColumn<QByteArray>("setting"); // set while metric
    QTest::addColumn<QByteArray>("query");   // read back after switching to English units
    QTest::addColumn<double>("english");
    QTest::newRow("max force") << QByteArray() << QByteArray("/vkt/maxForce") << 250 / 4.445;
    QTest::newRow("max position") << QByteArray() << QByteArray("/vkt/maxPosition") << 50 / 25.4;
    QTest::newRow("initial force")
        << QByteArray("/vkt/initialForce=44.45") << QByteArray("/vkt/initialForce") << 10.0;
    QTest::newRow("payload weight")
        << QByteArray("/vkt/payloadWeight=2.5") << QByteArray("/vkt/payloadWeight") << 5.5;
    QTest::newRow("limit") << QByteArray("/vkt/posLimitPosition=25.4")
                           << QByteArray("/vkt/posLimitPosition") << 1.0;
    QTest::newRow("command force")
        << QByteArray("/vkt/commandForce=88.9") << QByteArray("/vkt/commandForce") << 20.0;
    QTest::newRow("fraction is no unit")
        << QByteArray("/vkt/softTouchForce=0.4") << QByteArray("/vkt/softTouchForce") << 0.4;
}

void TestSimNetwork::unitSwitchConvertsReportsAndSettings()
{
    QFETCH(QByteArray, setting);
    QFETCH(QByteArray, query);
    QFETCH(double, english);
    SimProcess sim(networkArguments());
    QVERIFY(sim.start());
    UdpClient client;
    if (!setting.isEmpty())
        QVERIFY(client.exchange(setting).isDouble());
    QCOMPARE(client.exchange("/vkt/metricUnits=0").toInt(-1), 0);
    QVERIFY(qAbs(client.exchange(query).toDouble() - english) < 1e-3);
    QCOMPARE(client.exchange("/stateObject").toObject().value("metricUnits").toInt(-1), 0);
    // and back: the stored value did not drift
    client.exchange("/vkt/metricUnits=1");
    QVERIFY(client.exchange("/vkt/cfgObject").toObject().value("metricUnits").toInt() == 1);
    if (!setting.isEmpty()) {
        const double metric = setting.mid(setting.indexOf('=') + 1).toDouble();
        QVERIFY(qAbs(client.exchange(query).toDouble() - metric) < 1e-3);
    }
}

void TestSimNetwork::invalidValueChangesNothing()
{
    SimProcess sim(networkArguments());
    QVERIFY(sim.start());
    UdpClient client;
    QCOMPARE(client.exchange("/net/ipAddress=192.168.0.7").toString(),
             QStringLiteral("192.168.0.7"));
    for (const QByteArray &bad :
         {QByteArray("/net/ipAddress=300.1.2.3"), QByteArray("/net/ipAddress=abc"),
          QByteArray("/net/dhcp=yes"), QByteArray("/anybus/nodeId=1.5"),
          QByteArray("/vkt/softTouchForce=2")})
        QVERIFY2(client.exchange(bad).toString().startsWith("Error"), bad.constData());
    const QJsonObject hbn = client.exchange("/hbn/cfgObject").toObject();
    QCOMPARE(hbn.value("net").toObject().value("ipAddress").toString(),
             QStringLiteral("192.168.0.7"));
    QCOMPARE(hbn.value("net").toObject().value("dhcp").toInt(-1), 0);
    // parameter-file paths reach the same settings
    QCOMPARE(client.exchange("/hbn/anybus/nodeId=42").toInt(), 42);
    QCOMPARE(client.exchange("/hbn/cfgObject")
                 .toObject()
                 .value("anybus")
                 .toObject()
                 .value("nodeId")
                 .toInt(),
             42);
}

void TestSimNetwork::forceFollowsCommand()
{
    SimProcess sim(networkArguments());
    QVERIFY(sim.start());
    UdpClient client;
    client.exchange("/vkt/forceMode");
    QCOMPARE(static_cast<int>(client.state("controlMode")) & 1, 1);
    client.exchange("/vkt/commandForce=100");
    QCOMPARE(client.state("commandForce"), 100.0);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(client.state("actualForce") - 100) < 3, 5000);
    client.exchange("/vkt/commandForce=-40");
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(client.state("actualForce") + 40) < 3, 5000);
}

void TestSimNetwork::positionMovesWithinStroke()
{
    SimProcess sim(networkArguments({"--max-position", "50"}));
    QVERIFY(sim.start());
    UdpClient client;
    QCOMPARE(static_cast<int>(client.exchange("/vkt/positionMode").toDouble()) & 1, 0);
    client.exchange("/vkt/commandPosition=30");
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(client.state("actualPosition") - 30) < 0.2, 5000);
    QCOMPARE(client.exchange("/vkt/commandPosition=80").toDouble(), 50.0);
    double highest = 0;
    QTRY_VERIFY_WITH_TIMEOUT((highest = qMax(highest, client.state("actualPosition"))) >= 49.9,
                             5000);
    QVERIFY(client.state("actualPosition") <= 50);
    // beyond the positive limit (45 by default): bit 19 of the I/O word
    QVERIFY(static_cast<int>(client.state("dioValue")) & 0x80000);
}

void TestSimNetwork::weighing_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<double>("weight");
    QTest::newRow("weighs") << QStringList{"--payload-mass", "3"} << 3.0;
    QTest::newRow("fails") << QStringList{"--weigh-fails"} << 0.0;
}

void TestSimNetwork::weighing()
{
    QFETCH(QStringList, options);
    QFETCH(double, weight);
    SimProcess sim(networkArguments(options));
    QVERIFY(sim.start());
    UdpClient client;
    QVERIFY(!client.exchange("/vkt/weighPayload").toString().contains("Error"));
    QVERIFY(client.state("payloadWeight") < 0);
    QTRY_VERIFY_WITH_TIMEOUT(client.state("payloadWeight") >= 0, 5000);
    QVERIFY(qAbs(client.state("payloadWeight") - weight) <= 0.03);
    const int weightValid = static_cast<int>(client.state("dioValue")) & 0x400000;
    QCOMPARE(weightValid != 0, weight > 0);
}

void TestSimNetwork::droppedAndGarbledReplies()
{
    {
        SimProcess sim(networkArguments({"--drop-percent", "100"}));
        QVERIFY(sim.start());
        QVERIFY(UdpClient().exchangeRaw("/deviceId", 500).isEmpty());
    }
    SimProcess sim(networkArguments({"--garbage"}));
    QVERIFY(sim.start());
    const QByteArray reply = UdpClient().exchangeRaw("/deviceId");
    QVERIFY(!reply.isEmpty());
    QVERIFY(QJsonDocument::fromJson(reply).isNull());
}

void TestSimNetwork::tcpTerminal()
{
    SimProcess sim(networkArguments());
    QVERIFY(sim.start());
    QVERIFY(sim.hasLine(QStringLiteral("tcp: %1:%2").arg(address).arg(terminalPort)));
    QTcpSocket socket;
    socket.connectToHost(address, terminalPort);
    QVERIFY(socket.waitForConnected(SimProcess::replyWaitMs));
    QByteArray bytes;
    QTRY_VERIFY_WITH_TIMEOUT((bytes += socket.readAll()).endsWith("\r\n>>"),
                             SimProcess::replyWaitMs);
    QVERIFY(bytes.contains("HBN-1000"));
    // typed a key at a time, as a console does
    bytes.clear();
    for (const char key : QByteArray("/vkt/maxForce\r"))
        socket.write(&key, 1);
    QTRY_VERIFY_WITH_TIMEOUT((bytes += socket.readAll()).endsWith("\r\n>>"),
                             SimProcess::replyWaitMs);
    QCOMPARE(bytes, QByteArray("/vkt/maxForce\r\n250\r\n>>"));
}

void TestSimNetwork::standaloneVkt()
{
    SimProcess sim(networkArguments({"--device", "vkt"}));
    QVERIFY(sim.start());
    UdpClient client;
    QVERIFY(
        client.exchange("/deviceId").toObject().value("modelName").toString().startsWith("VKT"));
    QVERIFY(!client.exchange("/stateObject").toObject().contains("dioValue"));
    QCOMPARE(client.exchange("/vkt/net/dhcp=1").toInt(), 1);
    QCOMPARE(
        client.exchange("/vkt/cfgObject").toObject().value("net").toObject().value("dhcp").toInt(),
        1);
    QVERIFY(client.exchange("/hbn/cfgObject").toString().startsWith("Error: unknown path"));
}

QTEST_GUILESS_MAIN(TestSimNetwork)
#include "tst_simnetwork.moc"
