#include "remotedevice.h"
#include "scriptedpeer.h"
#include "signalrecorder.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QtTest>

// The link against a stand-in that records the exact bytes and answers verbatim: what goes on
// the wire, stale input, the state signals and parameter documents.
class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void wireBytesAndStaleInput_data() { transports(); }
    void wireBytesAndStaleInput();
    void stateChanges_data();
    void stateChanges();
    void linkEndedMidPollSaysNoMore_data();
    void linkEndedMidPollSaysNoMore();
    void connectReplacesTheOpenLink_data() { transports(); }
    void connectReplacesTheOpenLink();
    void serialErrorsOnlyWhileSerialIsTheLink();
    void exportDocument_data();
    void exportDocument();

private:
    static void transports()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("serial link") << true;
        QTest::newRow("network link") << false;
    }
};

namespace {

const QByteArray hbnUnit = R"({"dioValue": 1})";

// Connects `device` to `peer`, with polling off; an HBN unit has a "dioValue".
void connectTo(ScriptedPeer &peer, RemoteDevice &device, bool serial = false,
               const QByteArray &state = R"({"metricUnits": 1})")
{
    peer.setAnswer("/stateObject", state);
    QVERIFY(device.connectDevice(peer.start(serial)));
    device.setPolling(false);
}

} // namespace

void TestExchange::wireBytesAndStaleInput()
{
    QFETCH(bool, serial);
    ScriptedPeer peer;
    peer.setAnswer("/vkt/maxForce", "250");
    RemoteDevice device;
    connectTo(peer, device, serial, hbnUnit);
    SignalRecorder recorder(&device);

    QCOMPARE(device.sendCommand("/vkt/maxForce"), QJsonValue(250));
    device.commandForce(12.5);
    device.payloadWeight(2.5);
    device.controlMode(1);
    device.updateFirmware();
    for (const QByteArray reply : {R"("no error")", R"("Weigh Error: low pressure")"}) {
        peer.setAnswer("/vkt/weighPayload", reply);
        device.weighPayload();
    }
    QCOMPARE(recorder.events, QStringList{"weighError Weigh Error: low pressure"});
    // The vkt record first. The stand-in knows neither path: both are refused, and the second
    // still goes out.
    QBuffer file;
    file.setData(R"({"hbn": {"anybus": {"nodeId": 3}}, "vkt": {"initialForce": 10.5}})");
    file.open(QIODevice::ReadOnly);
    QStringList refused;
    QVERIFY(!device.loadParameters(&file, &refused));
    QCOMPARE(refused.size(), 2);
    QByteArrayList golden{"/deviceId",          "/vkt/deviceId",          "/stateObject",
                          "/vkt/maxForce",      "/vkt/commandForce=12.5", "/vkt/payloadWeight=2.5",
                          "/vkt/controlMode=1", "flashfirmware",          "/vkt/weighPayload",
                          "/vkt/weighPayload",  "/vkt/initialForce=10.5", "/hbn/anybus/nodeId=3"};
    for (QByteArray &command : golden)
        command += serial ? "\r\n" : "";
    QCOMPARE(peer.received(), golden);

    // An answer left unread (a console's, or a late one of an abandoned attempt) is waiting, and
    // it names the very path asked next.
    peer.setAnswer("/vkt/maxForce", "50");
    const_cast<QIODevice *>(device.transport())
        ->write(serial ? "/vkt/maxForce\r\n" : "/vkt/maxForce");
    if (serial)
        QTRY_COMPARE(device.serialPort()->bytesAvailable(),
                     qint64(strlen("/vkt/maxForce\r\n50\r\n>>")));
    else
        QTRY_VERIFY(device.udpSocket()->hasPendingDatagrams());
    peer.setAnswer("/vkt/maxForce", "250");
    QCOMPARE(device.sendCommand("/vkt/maxForce"), QJsonValue(250));
    QVERIFY(device.isConnected());
}

void TestExchange::stateChanges_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("member gone or turned into a string: 0")
        << QByteArray(R"({"actualForce": 2, "commandForce": 3})")
        << QByteArray(R"({"commandForce": "3"})")
        << QStringList{"actualForceChanged 0", "commandForceChanged 0"};
    // Units go first whatever the text order; a fraction is no unit system; a mode truncates.
    QTest::newRow("units first, whole only; mode truncated")
        << QByteArray(R"({"negLimitPosition": 1, "metricUnits": 1})")
        << QByteArray(R"({"negLimitPosition": 2, "controlMode": 1.9, "metricUnits": 1.5})")
        << QStringList{"metricUnitsChanged 0", "controlModeChanged 1", "negLimitPositionChanged 2"};
    QTest::newRow("every group, bit 6 clearing; bit 18 asks for the tool")
        << QByteArray(R"({"dioValue": 64})") << QByteArray(R"({"dioValue": 8323391})")
        << QStringList{"commandLevelChanged 63",   "commandNegChanged 0",
                       "weighPayloadChanged 256",  "cpuClockChanged 65536",
                       "hostComChanged 131072",    "toolComChanged 1",
                       "posLimitChanged 524288",   "negLimitChanged 1048576",
                       "okToWeighChanged 2097152", "weightOkChanged 4194304"};
    // Bit 31 and the other undecoded bits never disturb the decoded ones.
    for (const char *word : {"2147483712", "-2147483584", "4294967360"})
        QTest::newRow(word) << QByteArray(R"({"dioValue": 64})")
                            << QByteArray(R"({"dioValue": )") + word + "}" << QStringList();
    QTest::newRow("state not an object stores nothing")
        << QByteArray(R"({"actualForce": 1})") << QByteArray("[1]") << QStringList();
}

void TestExchange::stateChanges()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device, false, before);
    SignalRecorder recorder(&device);
    connect(&device, &RemoteDevice::actualForceChanged, this, [&](double value) {
        QCOMPARE(device.stateRecord().value("actualForce").toDouble(), value); // stored first
    });
    peer.setAnswer("/stateObject", after);
    QVERIFY(QMetaObject::invokeMethod(&device, "updateState"));
    // A stored state ends with its own signal, also when nothing in it changed.
    QFETCH(QStringList, events);
    if (QJsonDocument::fromJson(after).isObject())
        events << "stateStored";
    QCOMPARE(recorder.events, events);
}

void TestExchange::linkEndedMidPollSaysNoMore_data()
{
    QTest::addColumn<bool>("inDio"); // the receiver ends the link on a bit group, not a value
    QTest::addColumn<QStringList>("events");
    const QStringList values{"metricUnitsChanged 1", "actualForceChanged 1.5"};
    const QStringList ended{"toolComChanged 0", "deviceDisconnect"};
    QTest::newRow("on a value") << false << values + ended;
    QTest::newRow("on a bit group")
        << true << values + QStringList{"commandForceChanged 10", "commandLevelChanged 1"} + ended;
}

void TestExchange::linkEndedMidPollSaysNoMore()
{
    QFETCH(bool, inDio);
    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device, false, "{}");
    SignalRecorder recorder(&device);
    const auto endLink = [&device] { device.disconnectDevice(); };
    if (inDio)
        connect(&device, &RemoteDevice::commandLevelChanged, this, endLink);
    else
        connect(&device, &RemoteDevice::actualForceChanged, this, endLink);
    peer.setAnswer("/stateObject", R"({"metricUnits": 1, "actualForce": 1.5, "commandForce": 10,
                                       "dioValue": 524353})");
    QVERIFY(QMetaObject::invokeMethod(&device, "updateState"));
    QTEST(recorder.events, "events");
}

void TestExchange::connectReplacesTheOpenLink()
{
    QFETCH(bool, serial);
    ScriptedPeer peer;
    peer.setAnswer("/stateObject", R"({"metricUnits": 1, "actualForce": 4})");
    const QString address = peer.start(serial);
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QCOMPARE(device.sendCommand("/deviceId"), QJsonValue());
    QVERIFY(!device.connectDevice("nothing://here"));
    QCOMPARE(recorder.events, QStringList());
    QVERIFY(device.connectDevice(address));
    recorder.events.clear();
    QVERIFY(!device.connectDevice("usb:///dev/no-such-port"));
    QCOMPARE(recorder.events, QStringList({"toolComChanged 0", "deviceDisconnect"}));
    QVERIFY(!device.transport() && !device.udpSocket()->isOpen() && !device.serialPort()->isOpen());

    // The next link starts afresh: its first poll signals every member.
    recorder.events.clear();
    QVERIFY(device.connectDevice(address));
    QCOMPARE(recorder.events,
             QStringList({"deviceConnect", "toolComChanged 1", "metricUnitsChanged 1",
                          "actualForceChanged 4", "stateStored"}));
}

// Someone else's use of the idle port (a console probing it) ends nothing.
void TestExchange::serialErrorsOnlyWhileSerialIsTheLink()
{
    ScriptedPeer serialPeer;
    ScriptedPeer networkPeer;
    RemoteDevice device;
    connectTo(serialPeer, device, true);
    device.disconnectDevice();
    connectTo(networkPeer, device, false);
    SignalRecorder recorder(&device);
    device.serialPort()->setPortName("/dev/no-such-port");
    QVERIFY(!device.serialPort()->open(QIODevice::ReadWrite));
    QVERIFY(device.isConnected());
    QCOMPARE(recorder.events, QStringList());
}

void TestExchange::exportDocument_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QByteArray>("vkt");
    QTest::addColumn<QByteArray>("hbnRecord");
    QTest::addColumn<QByteArray>("text"); // empty: nothing saved
    const QByteArray vktAlone = R"({"metricUnits": 1})";
    const QByteArray vkt = R"({"metricUnits": 0})";
    const QByteArray hbn = R"({"anybus": {"nodeId": 3}})";
    QTest::newRow("HBN unit")
        << hbnUnit << vkt << hbn
        << QByteArray("{\n    \"hbn\": {\n        \"anybus\": {\n            \"nodeId\": 3\n"
                      "        }\n    },\n    \"vkt\": {\n        \"metricUnits\": 0\n    }\n}\n");
    QTest::newRow("HBN unit with an empty hbn record")
        << hbnUnit << vkt << QByteArray("{}") << QByteArray();
    QTest::newRow("VKT alone") << vktAlone << vkt << hbn
                               << QByteArray("{\n    \"vkt\": {\n        \"metricUnits\": 0\n"
                                             "    }\n}\n");
    QTest::newRow("empty vkt record") << vktAlone << QByteArray("{}") << hbn << QByteArray();
    // An HBN unit whose polls bring no state: nothing tells it from a VKT alone.
    QTest::newRow("no state yet") << QByteArray(R"("busy")") << vkt << hbn << QByteArray();
}

void TestExchange::exportDocument()
{
    QFETCH(QByteArray, state);
    QFETCH(QByteArray, vkt);
    QFETCH(QByteArray, hbnRecord);
    QFETCH(QByteArray, text);
    ScriptedPeer peer;
    peer.setAnswer("/vkt/cfgObject", vkt);
    peer.setAnswer("/hbn/cfgObject", hbnRecord);
    RemoteDevice device;
    connectTo(peer, device, false, state);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QCOMPARE(device.saveParameters(&file), !text.isEmpty());
    QCOMPARE(file.data(), text);
    // Only an HBN unit is asked for the HBN record.
    QCOMPARE(device.hbnCfgObject(),
             device.hasDio() ? QJsonDocument::fromJson(hbnRecord).object() : QJsonObject());
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
