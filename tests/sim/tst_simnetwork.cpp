// vkt-sim over UDP and its TCP terminal, driven with plain sockets on a loopback address of
// their own; its control lines and its configuration file, seen through UDP.
#include "simprocess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

namespace {

constexpr quint16 terminalPort = 52323;

class UdpClient
{
public:
    explicit UdpClient(const QString &address)
        : address(address)
    {}

    // The raw reply datagram, or nothing when none came in time.
    QByteArray exchangeRaw(const QByteArray &command)
    {
        socket.writeDatagram(command, address, 1993);
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(SimProcess::replyWaitMs))
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

    QJsonValue state(const char *member)
    {
        return exchange("/stateObject").toObject().value(QLatin1String(member));
    }

    int dio() { return state("dioValue").toInt(); }

private:
    QHostAddress address;
    QUdpSocket socket;
};

} // namespace

class TestSimNetwork : public QObject
{
    Q_OBJECT

private slots:
    void init() { address = SimProcess::uniqueLoopbackAddress(); }
    void goldenDatagramsTraceAndTerminal();
    void controlLines();
    void saveConfigPersistsAcrossRestart();

private:
    QStringList options(const QStringList &extra = {}) const
    {
        return QStringList{"--udp-address", address, "--tcp-port", QString::number(terminalPort)}
               + extra;
    }

    QString address;
};

void TestSimNetwork::goldenDatagramsTraceAndTerminal()
{
    SimProcess sim;
    QVERIFY(sim.start(options()));
    UdpClient client(address);
    QCOMPARE(client.exchangeRaw("/vkt/maxForce"), QByteArray(R"({"data":{"/vkt/maxForce":250}})"));
    QCOMPARE(client.exchange("/deviceId").toObject().value("modelName"), QJsonValue("HBN-1000"));
    QCOMPARE(client.exchange("/no/such"), QJsonValue("Error: unknown path /no/such"));
    const QJsonObject state = client.exchange("/stateObject").toObject();
    for (const char *member : {"metricUnits", "actualForce", "actualPosition", "accelGravity",
                               "commandForce", "commandPosition", "payloadWeight", "controlMode",
                               "posLimitPosition", "negLimitPosition", "dioValue"})
        QVERIFY2(state.value(QLatin1String(member)).isDouble(), member);
    // English units convert what is reported
    QCOMPARE(client.exchange("/vkt/metricUnits=0"), QJsonValue(0));
    QVERIFY(qAbs(client.exchange("/vkt/maxForce").toDouble() - 250 / 4.445) < 1e-3);
    QVERIFY(sim.waitForCommand("/vkt/maxForce", 1) >= 0);
    QCOMPARE(sim.commands(), QStringList({"/vkt/maxForce", "/deviceId", "/no/such", "/stateObject",
                                          "/vkt/metricUnits=0", "/vkt/maxForce"}));

    // The TCP terminal greets, then serves keys typed one at a time as a console does.
    QTcpSocket socket;
    socket.connectToHost(address, terminalPort);
    QVERIFY(socket.waitForConnected(SimProcess::replyWaitMs));
    QByteArray bytes;
    QTRY_VERIFY((bytes += socket.readAll()).endsWith("\r\n>>"));
    QVERIFY(bytes.contains("(HBN-1000) terminal"));
    bytes.clear();
    for (const char key : QByteArray("/vkt/metricUnits\r"))
        socket.write(&key, 1);
    QTRY_VERIFY((bytes += socket.readAll()).endsWith("\r\n>>"));
    QCOMPARE(bytes, QByteArray("/vkt/metricUnits\r\n0\r\n>>"));
}

void TestSimNetwork::controlLines()
{
    SimProcess sim;
    QVERIFY(sim.start(options({"--inputs", "3"})));
    UdpClient client(address);
    QCOMPARE(client.dio() & 0x17F, 3);
    QVERIFY(sim.control("inputs 69"));
    QVERIFY(!sim.control("inputs 128")); // bit 7 is no input line
    QCOMPARE(client.dio() & 0x17F, 69);

    QVERIFY(sim.control("tool off"));
    QCOMPARE(client.dio() & 0x40000, 0);
    QCOMPARE(client.exchange("/vkt/deviceId"), QJsonValue(QJsonObject()));
    QVERIFY(sim.control("tool on"));
    QVERIFY(!client.exchange("/vkt/deviceId").toObject().isEmpty());

    QVERIFY(sim.control("payload 3.25"));
    QCOMPARE(client.state("payloadWeight"), QJsonValue(3.25));
    QVERIFY(sim.control("state controlMode 5"));
    QCOMPARE(client.state("controlMode"), QJsonValue(5));
    client.exchange("/vkt/positionMode"); // a command on the member releases it
    QCOMPARE(client.state("controlMode"), QJsonValue(0));
    QVERIFY(!sim.control("state noSuchMember 1"));

    // Updating firmware: only "/deviceId" is served until the next reboot.
    QVERIFY(client.exchange("flashfirmware").isString());
    QVERIFY(client.exchange("/deviceId").toObject().contains("modelName"));
    QVERIFY(client.exchange("/stateObject").toString().startsWith("Error"));
    QVERIFY(sim.control("reboot"));
    QVERIFY(client.exchange("/stateObject").isObject());
}

void TestSimNetwork::saveConfigPersistsAcrossRestart()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("device.json");
    {
        SimProcess sim;
        QVERIFY(sim.start(options({"--config", file})));
        UdpClient client(address);
        QCOMPARE(client.exchange("/vkt/initialForce=10"), QJsonValue(10));
        QCOMPARE(client.exchange("/deviceName=Bench-7"), QJsonValue("Bench-7"));
        QVERIFY(!QFile::exists(file)); // set commands alone do not persist
        QVERIFY(!client.exchange("/saveConfig").toString().startsWith("Error"));
        QCOMPARE(sim.quit(), 0);
    }
    SimProcess restarted;
    QVERIFY(restarted.start(options({"--config", file})));
    UdpClient client(address);
    QCOMPARE(client.exchange("/deviceId").toObject().value("deviceName"), QJsonValue("Bench-7"));
    QCOMPARE(client.state("commandForce"), QJsonValue(10)); // power-up command from the file
}

QTEST_GUILESS_MAIN(TestSimNetwork)
#include "tst_simnetwork.moc"
