#include "remotedevice.h"
#include "signalrecorder.h"
#include "simprocess.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QtTest>

// The link against the simulated device, over a pseudo-terminal and over loopback UDP.
class TestSimLink : public QObject
{
    Q_OBJECT

private slots:
    void connectSequence_data();
    void connectSequence();
    void toolAndInputsFollowPolling();
    void silentDeviceEndsTheLink_data();
    void silentDeviceEndsTheLink();
    void replyWithoutPromptIsBounded();
    void networkPeerGoneEndsTheLink();
    void weighErrorText();
    void parameterRoundTrip();
    void importLosingTheLink();

private:
    // Starts the sim on its own loopback address (and a terminal when `serial`) and connects.
    bool startAndConnect(SimProcess &sim, RemoteDevice &device, bool serial,
                         const QString &address, const QStringList &options = {});
};

namespace {

QString simProgram()
{
    return QStringLiteral(VKT_SIM_PATH);
}

} // namespace

bool TestSimLink::startAndConnect(SimProcess &sim, RemoteDevice &device, bool serial,
                                  const QString &address, const QStringList &options)
{
    QStringList arguments{"--no-tcp", "--udp-address", address, "--seed", "1"};
    if (serial)
        arguments << "--serial";
    if (!sim.start(arguments + options)) {
        qWarning("the sim did not start");
        return false;
    }
    return device.connectDevice(serial ? "usb://" + sim.serialPath() : "network://" + address);
}

void TestSimLink::connectSequence_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("firstEvents");
    QTest::addColumn<bool>("hasDio");

    // On an HBN unit with a tool, bit 18 of the first state asks for the tool once more.
    const QStringList hbnCommands{"/deviceId", "/vkt/deviceId", "/stateObject", "/vkt/deviceId"};
    const QStringList toolEvents{"deviceConnect", "toolComChanged 1", "metricUnitsChanged 1"};
    QTest::newRow("serial HBN unit") << true << QStringList() << hbnCommands << toolEvents << true;
    QTest::newRow("network HBN unit") << false << QStringList() << hbnCommands << toolEvents
                                      << true;
    QTest::newRow("network VKT alone")
        << false << QStringList{"--device", "vkt"}
        << QStringList{"/deviceId", "/vkt/deviceId", "/stateObject"} << toolEvents << false;
    QTest::newRow("serial HBN unit without tool")
        << true << QStringList{"--no-tool"}
        << QStringList{"/deviceId", "/vkt/deviceId", "/stateObject"}
        << QStringList{"deviceConnect", "toolComChanged 0", "metricUnitsChanged 1"} << true;
}

void TestSimLink::connectSequence()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, firstEvents);
    QFETCH(bool, hasDio);

    SimProcess sim(simProgram());
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QVERIFY(startAndConnect(sim, device, serial, QStringLiteral("127.0.0.61"), options));
    device.setPolling(false);
    QVERIFY(device.isConnected());
    QCOMPARE(device.hasDio(), hasDio);
    QCOMPARE(sim.commands(commands.size()), commands);
    QCOMPARE(recorder.events.mid(0, firstEvents.size()), firstEvents);
    QCOMPARE(device.deviceIdRecord().value(QLatin1String("modelName")).toString().isEmpty(),
             false);
}

void TestSimLink::toolAndInputsFollowPolling()
{
    SimProcess sim(simProgram());
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, false, QStringLiteral("127.0.0.62")));
    QSignalSpy tool(&device, &RemoteDevice::toolComChanged);
    QSignalSpy level(&device, &RemoteDevice::commandLevelChanged);

    QVERIFY(sim.control(QStringLiteral("tool off")));
    QVERIFY(tool.wait(3000));
    QCOMPARE(tool.last().first().toInt(), 0);
    QVERIFY(device.toolIdRecord().isEmpty());

    QVERIFY(sim.control(QStringLiteral("inputs 9")));
    QTRY_VERIFY_WITH_TIMEOUT(!level.isEmpty(), 3000);
    QCOMPARE(level.last().first().toInt(), 9);

    QVERIFY(sim.control(QStringLiteral("tool on")));
    QTRY_COMPARE_WITH_TIMEOUT(tool.last().first().toInt(), 1, 3000);
    QVERIFY(!device.toolIdRecord().isEmpty());
}

void TestSimLink::silentDeviceEndsTheLink_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("maxMs");
    // The next poll (within 300 ms) goes unanswered: one silent wait on the terminal, three
    // attempts of one wait each on the network.
    QTest::newRow("serial") << true << 1 << 3000;
    QTest::newRow("network") << false << 3 << 5000;
}

void TestSimLink::silentDeviceEndsTheLink()
{
    QFETCH(bool, serial);
    QFETCH(int, attempts);
    QFETCH(int, maxMs);

    SimProcess sim(simProgram());
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, serial, QStringLiteral("127.0.0.63")));
    SignalRecorder recorder(&device);
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QVERIFY(sim.control(QStringLiteral("silent on")));
    const int answered = sim.commands().size();

    QElapsedTimer clock;
    clock.start();
    QVERIFY(disconnected.wait(maxMs + 2000));
    QVERIFY2(clock.elapsed() <= maxMs, QByteArray::number(clock.elapsed()));
    QCOMPARE(recorder.events.mid(recorder.events.size() - 2),
             QStringList({"toolComChanged 0", "deviceDisconnect"}));
    QVERIFY(!device.isConnected());
    QCOMPARE(sim.commands(answered + attempts).mid(answered),
             QVector<QString>(attempts, QStringLiteral("/stateObject")).toList());
}

void TestSimLink::replyWithoutPromptIsBounded()
{
    // The answer keeps trickling in for longer than an attempt may last, and never completes.
    SimProcess sim(simProgram());
    RemoteDevice device;
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!startAndConnect(sim, device, true, QStringLiteral("127.0.0.64"),
                             {"--no-prompt", "--chunk-bytes", "1", "--chunk-pause-ms", "150"}));
    QVERIFY2(clock.elapsed() < 3 * 3000 + 500, QByteArray::number(clock.elapsed()));
    QCOMPARE(disconnected.count(), 1);
    QVERIFY(!device.transport());
}

void TestSimLink::networkPeerGoneEndsTheLink()
{
    SimProcess sim(simProgram());
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, false, QStringLiteral("127.0.0.65")));
    device.setPolling(false);
    sim.kill();

    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(device.sendCommand(QStringLiteral("/stateObject")), QJsonValue());
    // Ended by the port-unreachable report, not by three silent attempts.
    QVERIFY2(clock.elapsed() < 900, QByteArray::number(clock.elapsed()));
    QCOMPARE(disconnected.count(), 1);
    QVERIFY(!device.transport());
    QCOMPARE(device.sendCommand(QStringLiteral("/stateObject")), QJsonValue());
}

void TestSimLink::weighErrorText()
{
    SimProcess sim(simProgram());
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, true, QStringLiteral("127.0.0.66"), {"--weigh-error"}));
    device.setPolling(false);
    QSignalSpy error(&device, &RemoteDevice::weighError);
    device.weighPayload();
    QCOMPARE(error.count(), 1);
    const QString text = error.first().first().toString();
    QVERIFY2(text.startsWith(QLatin1String("\r\n")) && text.contains(QLatin1String("Error")),
             qPrintable(text));
}

void TestSimLink::parameterRoundTrip()
{
    SimProcess sim(simProgram());
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, false, QStringLiteral("127.0.0.67"),
                            {"--device", "vkt"}));
    device.setPolling(false);

    QBuffer file;
    file.open(QIODevice::ReadWrite);
    QVERIFY(device.saveParameters(&file));
    const QJsonObject vkt = QJsonDocument::fromJson(file.data()).object().value("vkt").toObject();
    QVERIFY(vkt.value("net").isObject());
    QVERIFY(vkt.contains("metricUnits"));

    // Connection: three commands, export: one.
    const int before = sim.commands(4).size();
    file.seek(0);
    QVERIFY(device.loadParameters(&file));
    device.saveConfig();
    const QStringList sent = sim.commandsUntil(QStringLiteral("/saveConfig")).mid(before);
    QVERIFY(sent.size() > 2);
    QCOMPARE(sent.first(), "/vkt/metricUnits=" + RemoteDevice::formatValue(vkt["metricUnits"]));
    QCOMPARE(sent.filter(QRegularExpression("^/vkt/metricUnits=")).size(), 2);
    const QStringList net = sent.filter(QRegularExpression("^/vkt/net/"));
    QStringList names;
    for (const QString &command : net)
        names.append(command.section('/', 3).section('=', 0, 0));
    QCOMPARE(names, vkt.value("net").toObject().keys());
    QCOMPARE(sent.last(), QStringLiteral("/saveConfig"));
    QVERIFY(device.isConnected());
}

void TestSimLink::importLosingTheLink()
{
    SimProcess sim(simProgram());
    RemoteDevice device;
    // Three commands to connect, then two of the import are answered.
    QVERIFY(startAndConnect(sim, device, true, QStringLiteral("127.0.0.68"),
                            {"--device", "vkt", "--silent-after", "5"}));
    device.setPolling(false);
    QBuffer file;
    file.setData(R"({"vkt": {"initialForce": 10, "initialMode": 1, "initialPosition": 5}})");
    file.open(QIODevice::ReadOnly);
    QVERIFY(!device.loadParameters(&file));
    QVERIFY(!device.isConnected());
    const QStringList sent = sim.commands(6).mid(3);
    QCOMPARE(sent, QStringList({"/vkt/initialForce=10", "/vkt/initialMode=1",
                                "/vkt/initialPosition=5"}));
}

QTEST_GUILESS_MAIN(TestSimLink)
#include "tst_simlink.moc"
