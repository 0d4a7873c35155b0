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
    void silentDeviceEndsTheLink_data();
    void silentDeviceEndsTheLink();
    void endlessReplyIsBounded_data();
    void endlessReplyIsBounded();
    void networkPeerGoneEndsTheLink();
    void replyForItsOwnPathOnly_data();
    void replyForItsOwnPathOnly();
    void pollsWithoutStateEndTheLink_data();
    void pollsWithoutStateEndTheLink();
    void importLosingTheLink();
};

namespace {

// Starts the sim on a loopback address of its own (and a terminal when `serial`), connects.
bool startAndConnect(SimProcess &sim, RemoteDevice &device, bool serial,
                     const QStringList &options = {})
{
    QStringList arguments{"--no-tcp", "--udp-address", SimProcess::uniqueLoopbackAddress()};
    if (serial)
        arguments << "--serial";
    return sim.start(arguments + options)
           && device.connectDevice(serial ? sim.address() : sim.networkAddress());
}

} // namespace

void TestSimLink::connectSequence_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("commands"); // connecting, then saving the configuration

    // On an HBN unit with a tool, bit 18 of the first state asks for the tool once more.
    QTest::newRow("serial HBN unit")
        << true << QStringList()
        << QStringList{"/deviceId",     "/vkt/deviceId", "/stateObject",
                       "/vkt/deviceId", "/saveConfig",   "/vkt/saveConfig"};
    QTest::newRow("network VKT alone")
        << false << QStringList{"--device", "vkt"}
        << QStringList{"/deviceId", "/vkt/deviceId", "/stateObject", "/saveConfig"};
    QTest::newRow("network HBN unit without tool")
        << false << QStringList{"--no-tool"}
        << QStringList{"/deviceId", "/vkt/deviceId", "/stateObject", "/saveConfig"};
}

void TestSimLink::connectSequence()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(QStringList, commands);

    SimProcess sim;
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QVERIFY(startAndConnect(sim, device, serial, options));
    device.setPolling(false);
    QCOMPARE(device.hasDio(), !options.contains("vkt"));
    const int toolCom = options.contains("--no-tool") ? 0 : 1;
    QCOMPARE(recorder.events.mid(0, 3),
             QStringList({"deviceConnect", QStringLiteral("toolComChanged %1").arg(toolCom),
                          "metricUnitsChanged 1"}));
    device.saveConfig();
    QVERIFY(sim.waitForCommand(commands.last(), commands.size() - 1) >= 0);
    QCOMPARE(sim.commands(), commands);
}

void TestSimLink::silentDeviceEndsTheLink_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("maxMs");
    // The next poll goes unanswered: one silent wait on the terminal, three attempts of one
    // wait each on the network; the poll comes within 300 ms.
    QTest::newRow("serial") << true << 1 << 2500;
    QTest::newRow("network") << false << 3 << 4500;
}

void TestSimLink::silentDeviceEndsTheLink()
{
    QFETCH(bool, serial);
    QFETCH(int, attempts);
    QFETCH(int, maxMs);

    SimProcess sim;
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, serial));
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
    QVERIFY(sim.waitForCommand(QStringLiteral("/stateObject"), answered + attempts - 1) >= 0);
    QCOMPARE(sim.commands().mid(answered),
             QVector<QString>(attempts, QStringLiteral("/stateObject")).toList());
}

void TestSimLink::endlessReplyIsBounded_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    // Data keeps trickling in for longer than an attempt may last, and never completes.
    QTest::newRow("serial without prompt")
        << true << QStringList{"--no-prompt", "--chunk-bytes", "1", "--chunk-pause-ms", "150"};
    QTest::newRow("network garbage") << false << QStringList{"--garbage"};
}

void TestSimLink::endlessReplyIsBounded()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    SimProcess sim;
    RemoteDevice device;
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!startAndConnect(sim, device, serial, options));
    QVERIFY2(clock.elapsed() < 3 * 3000 + 2000, QByteArray::number(clock.elapsed()));
    QCOMPARE(disconnected.count(), 1);
    QVERIFY(!device.transport());
}

void TestSimLink::networkPeerGoneEndsTheLink()
{
    SimProcess sim;
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, false));
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    sim.kill();
    // Polling meets the port-unreachable report; no three silent attempts.
    QVERIFY(disconnected.wait(1500));
    QVERIFY(!device.transport());
}

void TestSimLink::replyForItsOwnPathOnly_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("maxMs"); // connecting and the three exchanges after it

    // Each reply of the first attempt lands in the second; the second's lands in the next
    // exchange.
    QTest::newRow("network reply after more than a wait")
        << false << QStringList{"--delay-ms", "1100"} << 25000;
    QTest::newRow("network duplicate replies")
        << false << QStringList{"--delay-ms", "200", "--duplicate-ms", "100"} << 5000;
    QTest::newRow("serial extra prompt") << true << QStringList{"--extra-prompt-ms", "100"} << 3000;
    QTest::newRow("serial boot banner") << true << QStringList{"--banner-ms", "100"} << 3000;
}

void TestSimLink::replyForItsOwnPathOnly()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(int, maxMs);

    SimProcess sim;
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(startAndConnect(sim, device, serial, options));
    device.setPolling(false);
    QVERIFY(recorder.events.contains(QStringLiteral("toolComChanged 1")));
    QVERIFY(recorder.events.contains(QStringLiteral("metricUnitsChanged 1")));

    // Every exchange follows the one before at once, while its stray output is still due.
    QCOMPARE(device.sendCommand(QStringLiteral("/vkt/maxForce")), QJsonValue(250));
    QCOMPARE(device.sendCommand(QStringLiteral("/vkt/maxPosition")), QJsonValue(50));
    QVERIFY(device.sendCommand(QStringLiteral("/stateObject")).isObject());
    QVERIFY2(clock.elapsed() < maxMs, QByteArray::number(clock.elapsed()));
    QVERIFY(device.isConnected());
    QVERIFY(!recorder.events.contains(QStringLiteral("deviceDisconnect")));
}

void TestSimLink::pollsWithoutStateEndTheLink_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("flash"); // start a firmware update once connected
    QTest::newRow("state answered by a text") << QStringList{"--bad-state"} << false;
    // The update answers nothing but "/deviceId" until the device reboots.
    QTest::newRow("firmware update") << QStringList() << true;
}

void TestSimLink::pollsWithoutStateEndTheLink()
{
    QFETCH(QStringList, options);
    QFETCH(bool, flash);

    SimProcess sim;
    RemoteDevice device;
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QVERIFY(startAndConnect(sim, device, false, options));
    if (flash)
        device.updateFirmware();
    QElapsedTimer clock;
    clock.start();
    // Polling goes on as usual; the third poll in a row without a state ends the link.
    QVERIFY(disconnected.wait(3000));
    QVERIFY2(clock.elapsed() < 1500, QByteArray::number(clock.elapsed()));
    QVERIFY(!device.transport());
    // The first poll at connection, then two more; one good one before an update.
    QTRY_COMPARE(sim.commands().count(QStringLiteral("/stateObject")), flash ? 4 : 3);
}

void TestSimLink::importLosingTheLink()
{
    SimProcess sim;
    RemoteDevice device;
    // Three commands to connect, then two of the import are answered.
    QVERIFY(startAndConnect(sim, device, true, {"--device", "vkt", "--silent-after", "5"}));
    device.setPolling(false);
    QBuffer file;
    file.setData(R"({"vkt": {"initialForce": 10, "initialMode": 1, "initialPosition": 5}})");
    file.open(QIODevice::ReadOnly);
    QVERIFY(!device.loadParameters(&file));
    QVERIFY(!device.isConnected());
    QVERIFY(sim.waitForCommand(QStringLiteral("/vkt/initialPosition=5")) >= 0);
    QCOMPARE(sim.commands().mid(3),
             QStringList({"/vkt/initialForce=10", "/vkt/initialMode=1", "/vkt/initialPosition=5"}));
}

QTEST_GUILESS_MAIN(TestSimLink)
#include "tst_simlink.moc"
