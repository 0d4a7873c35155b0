#include "remotedevice.h"
#include "scriptedpeer.h"
#include "signalrecorder.h"

#include <QtTest>

// State polling against a stand-in whose "/stateObject" answer the test sets verbatim.
class TestStateSignals : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void changes_data();
    void changes();
    void recordIsStoredBeforeSignals();
    void reconnectSignalsEveryMember();
    void dioAccess_data();
    void dioAccess();
    void pollTimerRunsAgain();

private:
    void connectWithState(RemoteDevice &device, const QByteArray &state);
    void poll(RemoteDevice &device, const QByteArray &state);

    ScriptedPeer m_peer;
};

void TestStateSignals::initTestCase()
{
    m_peer.setAnswer("/deviceId", R"({"deviceName": "Bench", "modelName": "HBN"})");
    m_peer.setAnswer("/vkt/deviceId", R"({"modelName": "VKT-250"})");
    QVERIFY(m_peer.startUdp(QStringLiteral("127.0.0.52")));
}

void TestStateSignals::connectWithState(RemoteDevice &device, const QByteArray &state)
{
    m_peer.setAnswer("/stateObject", state);
    QVERIFY(device.connectDevice(QStringLiteral("network://127.0.0.52")));
    QVERIFY(device.isConnected());
    device.setPolling(false);
}

void TestStateSignals::poll(RemoteDevice &device, const QByteArray &state)
{
    m_peer.setAnswer("/stateObject", state);
    QVERIFY(QMetaObject::invokeMethod(&device, "updateState"));
}

void TestStateSignals::changes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("first poll: every member, in table order")
        << QByteArray("{}")
        << QByteArray(R"({"negLimitPosition": 5, "posLimitPosition": 45, "controlMode": 1,
                          "payloadWeight": 0, "commandPosition": 20, "commandForce": 10,
                          "accelGravity": -0.5, "actualPosition": 2.5, "actualForce": 1.5,
                          "metricUnits": 1, "dioValue": 589889})")
        << QStringList{"metricUnitsChanged 1", "actualForceChanged 1.5",
                       "actualPositionChanged 2.5", "accelGravityChanged -0.5",
                       "commandForceChanged 10", "commandPositionChanged 20",
                       "payloadWeightChanged 0", "controlModeChanged 1",
                       "posLimitPositionChanged 45", "negLimitPositionChanged 5",
                       "commandLevelChanged 1", "commandNegChanged 64", "cpuClockChanged 65536",
                       "posLimitChanged 524288"};
    const QByteArray steady = R"({"metricUnits": 1, "actualForce": 3, "dioValue": 64})";
    QTest::newRow("identical replies") << steady << steady << QStringList();
    QTest::newRow("controlMode truncated")
        << QByteArray(R"({"controlMode": 0})") << QByteArray(R"({"controlMode": 1.9})")
        << QStringList{"controlModeChanged 1"};
    QTest::newRow("metricUnits not whole")
        << QByteArray(R"({"metricUnits": 1})") << QByteArray(R"({"metricUnits": 0.5})")
        << QStringList{"metricUnitsChanged 0"};
    QTest::newRow("number turning into a string")
        << QByteArray(R"({"commandForce": 3})") << QByteArray(R"({"commandForce": "3"})")
        << QStringList{"commandForceChanged 0"};
    QTest::newRow("member disappearing")
        << QByteArray(R"({"metricUnits": 1, "actualForce": 2})")
        << QByteArray(R"({"metricUnits": 1})") << QStringList{"actualForceChanged 0"};
    QTest::newRow("5 and 5.0 are the same")
        << QByteArray(R"({"posLimitPosition": 5})") << QByteArray(R"({"posLimitPosition": 5.0})")
        << QStringList();
    QTest::newRow("units before values, whatever the text order")
        << QByteArray(R"({"negLimitPosition": 1, "metricUnits": 1})")
        << QByteArray(R"({"negLimitPosition": 2, "metricUnits": 0})")
        << QStringList{"metricUnitsChanged 0", "negLimitPositionChanged 2"};
    QTest::newRow("bits 0 and 3 together")
        << QByteArray(R"({"dioValue": 0})") << QByteArray(R"({"dioValue": 9})")
        << QStringList{"commandLevelChanged 9"};
    QTest::newRow("bit 6 set") << QByteArray(R"({"dioValue": 1})")
                               << QByteArray(R"({"dioValue": 65})")
                               << QStringList{"commandNegChanged 64"};
    QTest::newRow("bit 6 cleared") << QByteArray(R"({"dioValue": 64})")
                                   << QByteArray(R"({"dioValue": 0})")
                                   << QStringList{"commandNegChanged 0"};
    QTest::newRow("every group; bit 18 asks for the tool")
        << QByteArray(R"({"dioValue": 0})") << QByteArray(R"({"dioValue": 8323455})")
        << QStringList{"commandLevelChanged 63", "commandNegChanged 64",
                       "weighPayloadChanged 256", "cpuClockChanged 65536",
                       "hostComChanged 131072", "toolComChanged 1", "posLimitChanged 524288",
                       "negLimitChanged 1048576", "okToWeighChanged 2097152",
                       "weightOkChanged 4194304"};
    QTest::newRow("undecoded bits") << QByteArray(R"({"dioValue": 0})")
                                    << QByteArray(R"({"dioValue": 8388736})") << QStringList();
    QTest::newRow("dioValue appearing") << QByteArray(R"({"metricUnits": 1})")
                                        << QByteArray(R"({"metricUnits": 1, "dioValue": 64})")
                                        << QStringList{"commandNegChanged 64"};
    QTest::newRow("dioValue not whole reads as 0")
        << QByteArray(R"({"dioValue": 64})") << QByteArray(R"({"dioValue": 64.5})")
        << QStringList{"commandNegChanged 0"};
    QTest::newRow("state not an object stores nothing")
        << QByteArray(R"({"actualForce": 1})") << QByteArray("[1]") << QStringList();
}

void TestStateSignals::changes()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, events);

    RemoteDevice device;
    connectWithState(device, before);
    SignalRecorder recorder(&device);
    poll(device, after);
    QCOMPARE(recorder.events, events);
}

void TestStateSignals::recordIsStoredBeforeSignals()
{
    RemoteDevice device;
    connectWithState(device, R"({"actualForce": 1})");
    double seen = 0;
    connect(&device, &RemoteDevice::actualForceChanged, this, [&] {
        seen = device.stateRecord().value(QLatin1String("actualForce")).toDouble();
    });
    poll(device, R"({"actualForce": 7})");
    QCOMPARE(seen, 7.0);
}

void TestStateSignals::reconnectSignalsEveryMember()
{
    const QByteArray state = R"({"metricUnits": 1, "actualForce": 4})";
    RemoteDevice device;
    connectWithState(device, state);
    device.disconnectDevice();
    QVERIFY(device.stateRecord().isEmpty());

    SignalRecorder recorder(&device);
    connectWithState(device, state);
    QCOMPARE(recorder.events, QStringList({"deviceConnect", "toolComChanged 1",
                                           "metricUnitsChanged 1", "actualForceChanged 4"}));
}

void TestStateSignals::dioAccess_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<bool>("hasDio");
    QTest::addColumn<int>("dioValue");

    QTest::newRow("HBN unit") << QByteArray(R"({"dioValue": 262208})") << true << 262208;
    QTest::newRow("HBN unit, odd word") << QByteArray(R"({"dioValue": "x"})") << true << 0;
    QTest::newRow("VKT alone") << QByteArray(R"({"metricUnits": 1})") << false << 0;
}

void TestStateSignals::dioAccess()
{
    QFETCH(QByteArray, state);
    QFETCH(bool, hasDio);
    QFETCH(int, dioValue);

    RemoteDevice device;
    connectWithState(device, state);
    QCOMPARE(device.hasDio(), hasDio);
    QCOMPARE(device.dioValue(), dioValue);
    device.disconnectDevice();
    QVERIFY(!device.hasDio());
}

void TestStateSignals::pollTimerRunsAgain()
{
    RemoteDevice device;
    m_peer.setAnswer("/stateObject", R"({"actualForce": 1})");
    QVERIFY(device.connectDevice(QStringLiteral("network://127.0.0.52")));
    QSignalSpy force(&device, &RemoteDevice::actualForceChanged);
    m_peer.setAnswer("/stateObject", R"({"actualForce": 2})");
    QVERIFY(force.wait(2000));
    m_peer.setAnswer("/stateObject", R"({"actualForce": 3})");
    QVERIFY(force.wait(2000));
    QCOMPARE(force.last().first().toDouble(), 3.0);
}

QTEST_GUILESS_MAIN(TestStateSignals)
#include "tst_statesignals.moc"
