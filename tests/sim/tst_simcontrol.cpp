// vkt-sim's stdin control channel and its persistent configuration file, seen through UDP.
#include "simprocess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

namespace {

const QString address = QStringLiteral("127.0.0.144");

QStringList arguments(const QStringList &extra = {})
{
    return QStringList{"--udp-address", address, "--no-tcp"} + extra;
}

QJsonValue ask(const QByteArray &command, int timeoutMs = SimProcess::replyWaitMs)
{
    QUdpSocket socket;
    socket.writeDatagram(command, QHostAddress(address), 1993);
    if (!socket.waitForReadyRead(timeoutMs))
        return QJsonValue(QJsonValue::Undefined);
    const QJsonObject root = QJsonDocument::fromJson(socket.receiveDatagram().data()).object();
    return root.value("data").toObject().value(QString::fromUtf8(command).section('=', 0, 0));
}

QJsonValue stateMember(const char *member)
{
    return ask("/stateObject").toObject().value(QLatin1String(member));
}

int dio()
{
    return stateMember("dioValue").toInt();
}

} // namespace

class TestSimControl : public QObject
{
    Q_OBJECT

private slots:
    void inputs();
    void toolOnOff();
    void silentOnOff();
    void payloadAndPinnedState();
    void traceShowsCommandsInOrder();
    void saveConfigPersistsAcrossRestart();
    void unreadableConfigStopsStart();
    void flashFirmwareAnswersOnlyDeviceId();
};

void TestSimControl::inputs()
{
    SimProcess sim(arguments({"--inputs", "3"}));
    QVERIFY(sim.start());
    QCOMPARE(dio() & 0x17F, 3);
    QVERIFY(sim.control("inputs 69")); // command inputs 1 and 3, command negative
    QCOMPARE(dio() & 0x17F, 69);
    QVERIFY(!sim.control("inputs 128")); // bit 7 is no input line
    QVERIFY(!sim.control("inputs x"));
    QCOMPARE(dio() & 0x17F, 69);
    QVERIFY(dio() & 0x20000); // a host is talking
}

void TestSimControl::toolOnOff()
{
    SimProcess sim(arguments());
    QVERIFY(sim.start());
    QVERIFY(dio() & 0x40000);
    QVERIFY(!ask("/vkt/deviceId").toObject().isEmpty());
    QVERIFY(sim.control("tool off"));
    QCOMPARE(dio() & 0x40000, 0);
    QVERIFY(ask("/vkt/deviceId").toObject().isEmpty());
    QVERIFY(ask("/vkt/weighPayload").toString().contains("Error"));
    QVERIFY(sim.control("tool on"));
    QVERIFY(dio() & 0x40000);
    QCOMPARE(ask("/vkt/deviceId").toObject().value("modelName").toString(),
             QStringLiteral("VKT-250"));
}

void TestSimControl::silentOnOff()
{
    SimProcess sim(arguments());
    QVERIFY(sim.start());
    QVERIFY(sim.control("silent on"));
    QVERIFY(ask("/deviceId", 500).isUndefined());
    QVERIFY(sim.control("silent off"));
    QVERIFY(ask("/deviceId").isObject());
}

void TestSimControl::payloadAndPinnedState()
{
    SimProcess sim(arguments());
    QVERIFY(sim.start());
    QVERIFY(sim.control("payload 3.25"));
    QCOMPARE(stateMember("payloadWeight").toDouble(), 3.25);
    QVERIFY(sim.control("state controlMode 5"));
    QCOMPARE(stateMember("controlMode").toInt(), 5);
    QVERIFY(sim.control("state actualForce \"odd\""));
    QCOMPARE(stateMember("actualForce").toString(), QStringLiteral("odd"));
    ask("/vkt/positionMode"); // a command on the member releases it
    QCOMPARE(stateMember("controlMode").toInt(), 0);
    QVERIFY(sim.control("state actualForce"));
    QVERIFY(stateMember("actualForce").isDouble());
    QVERIFY(!sim.control("state noSuchMember 1"));
    QVERIFY(!sim.control("state controlMode {broken"));
}

void TestSimControl::traceShowsCommandsInOrder()
{
    SimProcess sim(arguments({"--trace"}));
    QVERIFY(sim.start());
    ask("/stateObject");
    ask("/deviceId");
    ask("/vkt/commandForce=12.5");
    ask("/deviceId");
    QVERIFY(sim.waitForLine("command: /vkt/commandForce=12.5"));
    const QStringList commands = sim.output().filter(QRegularExpression("^command: "));
    QCOMPARE(commands, QStringList({"command: /stateObject", "command: /deviceId",
                                    "command: /vkt/commandForce=12.5", "command: /deviceId"}));
}

void TestSimControl::saveConfigPersistsAcrossRestart()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("device.json");
    {
        SimProcess sim(arguments({"--config", file}));
        QVERIFY(sim.start());
        ask("/vkt/metricUnits=0");
        QCOMPARE(ask("/vkt/initialForce=10").toDouble(), 10.0);
        QCOMPARE(ask("/deviceName=Bench-7").toString(), QStringLiteral("Bench-7"));
        QCOMPARE(ask("/net/gateway=10.0.0.1").toString(), QStringLiteral("10.0.0.1"));
        QVERIFY(!QFile::exists(file)); // set commands alone do not persist
        QVERIFY(!ask("/saveConfig").toString().startsWith("Error"));
        QCOMPARE(sim.quit(), 0);
    }
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QJsonObject document = QJsonDocument::fromJson(saved.readAll()).object();
    QCOMPARE(document.value("vkt").toObject().value("initialForce").toDouble(), 10.0);
    QCOMPARE(document.value("vkt").toObject().value("metricUnits").toInt(-1), 0);

    SimProcess restarted(arguments({"--config", file}));
    QVERIFY(restarted.start());
    QCOMPARE(ask("/deviceId").toObject().value("deviceName").toString(), QStringLiteral("Bench-7"));
    QCOMPARE(ask("/vkt/initialForce").toDouble(), 10.0);
    QCOMPARE(stateMember("commandForce").toDouble(), 10.0); // power-up command from the file
    QCOMPARE(ask("/hbn/net/gateway").toString(), QStringLiteral("10.0.0.1"));
}

void TestSimControl::unreadableConfigStopsStart()
{
    QTemporaryDir dir;
    QFile broken(dir.filePath("broken.json"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{\"vkt\": {\"metricUnits\": \"many\"}}");
    broken.close();
    SimProcess sim(arguments({"--config", broken.fileName()}));
    QVERIFY(!sim.start());
    QVERIFY(sim.process.state() == QProcess::NotRunning ||
            sim.process.waitForFinished(SimProcess::replyWaitMs));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 1);
}

void TestSimControl::flashFirmwareAnswersOnlyDeviceId()
{
    SimProcess sim(arguments());
    QVERIFY(sim.start());
    QVERIFY(ask("flashfirmware").isString());
    QVERIFY(ask("/deviceId").toObject().contains("modelName"));
    QVERIFY(ask("/stateObject").toString().startsWith("Error"));
    QVERIFY(sim.control("reboot"));
    QVERIFY(ask("/stateObject").isObject());
}

QTEST_GUILESS_MAIN(TestSimControl)
#include "tst_simcontrol.moc"
