#include "remotedevice.h"
#include "scriptedpeer.h"

#include <QBuffer>
#include <QtTest>

// Export and import of parameter documents against a stand-in that records every command.
class TestParameterFiles : public QObject
{
    Q_OBJECT

private slots:
    void exportDocument_data();
    void exportDocument();
    void importOrder_data();
    void importOrder();
    void importRejected_data();
    void importRejected();
    void saveConfig_data();
    void saveConfig();

private:
    // Connects to a fresh stand-in; an HBN unit reports a "dioValue" in its state.
    void connectTo(ScriptedPeer &peer, RemoteDevice &device, bool hbn, bool tool = true);
    // The commands received after the connection's own three.
    static QByteArrayList commandsAfterConnect(const ScriptedPeer &peer);
};

namespace {

bool load(RemoteDevice &device, const QByteArray &text)
{
    QBuffer file;
    file.setData(text);
    file.open(QIODevice::ReadOnly);
    return device.loadParameters(&file);
}

} // namespace

void TestParameterFiles::connectTo(ScriptedPeer &peer, RemoteDevice &device, bool hbn, bool tool)
{
    peer.setAnswer("/deviceId", R"({"deviceName": "Bench"})");
    peer.setAnswer("/vkt/deviceId", tool ? R"({"modelName": "VKT-250"})" : "{}");
    peer.setAnswer("/stateObject", hbn ? R"({"dioValue": 1})" : R"({"metricUnits": 1})");
    QVERIFY(peer.startUdp(QStringLiteral("127.0.0.53")));
    QVERIFY(device.connectDevice(QStringLiteral("network://127.0.0.53")));
    QCOMPARE(device.hasDio(), hbn);
    device.setPolling(false);
}

QByteArrayList TestParameterFiles::commandsAfterConnect(const ScriptedPeer &peer)
{
    return peer.received().mid(3);
}

void TestParameterFiles::exportDocument_data()
{
    QTest::addColumn<bool>("hbn");
    QTest::addColumn<QByteArray>("vkt");
    QTest::addColumn<QByteArray>("hbnRecord");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QByteArray>("text");

    const QByteArray vkt = R"({"softTouchForce": 0.25, "metricUnits": 1, "net": {"dhcp": 1}})";
    QTest::newRow("VKT alone") << false << vkt << QByteArray() << true
                               << QByteArray("{\n"
                                             "    \"vkt\": {\n"
                                             "        \"metricUnits\": 1,\n"
                                             "        \"net\": {\n"
                                             "            \"dhcp\": 1\n"
                                             "        },\n"
                                             "        \"softTouchForce\": 0.25\n"
                                             "    }\n"
                                             "}\n");
    QTest::newRow("HBN unit") << true << QByteArray(R"({"metricUnits": 0})")
                              << QByteArray(R"({"anybus": {"nodeId": 3}})") << true
                              << QByteArray("{\n"
                                            "    \"hbn\": {\n"
                                            "        \"anybus\": {\n"
                                            "            \"nodeId\": 3\n"
                                            "        }\n"
                                            "    },\n"
                                            "    \"vkt\": {\n"
                                            "        \"metricUnits\": 0\n"
                                            "    }\n"
                                            "}\n");
    QTest::newRow("HBN unit with an empty hbn record")
        << true << vkt << QByteArray("{}") << false << QByteArray();
    QTest::newRow("empty vkt record") << false << QByteArray("{}") << QByteArray() << false
                                      << QByteArray();
}

void TestParameterFiles::exportDocument()
{
    QFETCH(bool, hbn);
    QFETCH(QByteArray, vkt);
    QFETCH(QByteArray, hbnRecord);
    QFETCH(bool, saved);
    QFETCH(QByteArray, text);

    ScriptedPeer peer;
    peer.setAnswer("/vkt/cfgObject", vkt);
    peer.setAnswer("/hbn/cfgObject", hbnRecord);
    RemoteDevice device;
    connectTo(peer, device, hbn);

    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QCOMPARE(device.saveParameters(&file), saved);
    QCOMPARE(file.data(), text);
}

void TestParameterFiles::importOrder_data()
{
    QTest::addColumn<bool>("hbn");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArrayList>("commands");

    QTest::newRow("units first and again in place, nested, true as 1, null as a query")
        << false
        << QByteArray(R"({"vkt": {"softTouchForce": 0.25, "metricUnits": 1, "initialWeigh": true,
                                  "net": {"gateway": "10.0.0.1", "dhcp": false,
                                          "metricUnits": 0},
                                  "a": null, "name": "My Cell"},
                          "hbn": {"ignored": 1}, "other": "x"})")
        << QByteArrayList{"/vkt/metricUnits=1", "/vkt/a", "/vkt/initialWeigh=1",
                          "/vkt/metricUnits=1", "/vkt/name=MyCell", "/vkt/net/metricUnits=0",
                          "/vkt/net/dhcp=0", "/vkt/net/gateway=10.0.0.1",
                          "/vkt/net/metricUnits=0", "/vkt/softTouchForce=0.25"};
    QTest::newRow("HBN unit: vkt, then hbn")
        << true
        << QByteArray(R"({"hbn": {"anybus": {"nodeId": 3, "baudRate": 2}},
                          "vkt": {"initialForce": 123.4567}})")
        << QByteArrayList{"/vkt/initialForce=123.457", "/hbn/anybus/baudRate=2",
                          "/hbn/anybus/nodeId=3"};
}

void TestParameterFiles::importOrder()
{
    QFETCH(bool, hbn);
    QFETCH(QByteArray, file);
    QFETCH(QByteArrayList, commands);

    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device, hbn);
    QVERIFY(load(device, file));
    QCOMPARE(commandsAfterConnect(peer), commands);
}

void TestParameterFiles::importRejected_data()
{
    QTest::addColumn<bool>("hbn");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("empty file") << false << QByteArray();
    QTest::newRow("not JSON") << false << QByteArray("vkt = 1");
    QTest::newRow("array") << false << QByteArray(R"([{"vkt": {"a": 1}}])");
    QTest::newRow("empty vkt") << false << QByteArray(R"({"vkt": {}})");
    QTest::newRow("CR LF in a key")
        << false << QByteArray(R"({"vkt": {"a": 1, "b\r\nflashfirmware": 1}})");
    QTest::newRow("control character in a value")
        << false << QByteArray(R"({"vkt": {"a": 1, "b": "x\r\nflashfirmware"}})");
    QTest::newRow("hbn missing on an HBN unit") << true << QByteArray(R"({"vkt": {"a": 1}})");
    QTest::newRow("bad key in hbn") << true
                                    << QByteArray(R"({"vkt": {"a": 1}, "hbn": {"a b": 1}})");
}

void TestParameterFiles::importRejected()
{
    QFETCH(bool, hbn);
    QFETCH(QByteArray, file);

    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device, hbn);
    QVERIFY(!load(device, file));
    QVERIFY(device.isConnected());
    // One more exchange proves nothing of the file had gone out before it.
    device.sendCommand(QStringLiteral("/marker"));
    QTRY_COMPARE(commandsAfterConnect(peer), QByteArrayList{"/marker"});
}

void TestParameterFiles::saveConfig_data()
{
    QTest::addColumn<bool>("hbn");
    QTest::addColumn<bool>("tool");
    QTest::addColumn<QByteArrayList>("commands");

    QTest::newRow("VKT alone") << false << true << QByteArrayList{"/saveConfig"};
    QTest::newRow("HBN unit with a tool")
        << true << true << QByteArrayList{"/saveConfig", "/vkt/saveConfig"};
    QTest::newRow("HBN unit without a tool") << true << false << QByteArrayList{"/saveConfig"};
}

void TestParameterFiles::saveConfig()
{
    QFETCH(bool, hbn);
    QFETCH(bool, tool);
    QFETCH(QByteArrayList, commands);

    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device, hbn, tool);
    device.saveConfig();
    QCOMPARE(commandsAfterConnect(peer), commands);
}

QTEST_GUILESS_MAIN(TestParameterFiles)
#include "tst_parameterfiles.moc"
