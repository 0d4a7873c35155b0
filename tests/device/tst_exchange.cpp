#include "remotedevice.h"
#include "scriptedpeer.h"
#include "signalrecorder.h"

#include <QElapsedTimer>
#include <QtTest>

// The exchange against a stand-in that records the exact bytes: what goes on the wire, how
// replies are taken, and stale input.
class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void wireBytes_data();
    void wireBytes();
    void staleInputIsDiscarded_data();
    void staleInputIsDiscarded();
    void unknownPathGivesErrorText_data();
    void unknownPathGivesErrorText();
    void weighError_data();
    void weighError();
    void emptySerialAnswerEndsTheWait_data();
    void emptySerialAnswerEndsTheWait();
    void noLinkSendsNothing();

private:
    void addTransports();
    // Starts `peer` as a plain HBN unit without a tool and connects `device` to it.
    void connectTo(ScriptedPeer &peer, RemoteDevice &device);
};

namespace {

QByteArray line(bool serial, const QByteArray &command)
{
    return serial ? command + "\r\n" : command;
}

} // namespace

void TestExchange::addTransports()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("serial") << true;
    QTest::newRow("network") << false;
}

void TestExchange::connectTo(ScriptedPeer &peer, RemoteDevice &device)
{
    QFETCH(bool, serial);
    peer.setAnswer("/deviceId", R"({"deviceName": "Bench", "modelName": "HBN"})");
    peer.setAnswer("/vkt/deviceId", "{}");
    peer.setAnswer("/stateObject", R"({"metricUnits": 1})");
    peer.setAnswer("/vkt/maxForce", "250");
    peer.setAnswer("/vkt/maxPosition", "50");
    QVERIFY(serial ? peer.startSerial() : peer.startUdp(QStringLiteral("127.0.0.51")));
    const QString address = serial ? "usb://" + peer.serialPath()
                                   : QStringLiteral("network://127.0.0.51");
    QVERIFY(device.connectDevice(address));
    QVERIFY(device.isConnected());
    device.setPolling(false);
}

void TestExchange::wireBytes_data()
{
    addTransports();
}

void TestExchange::wireBytes()
{
    QFETCH(bool, serial);
    ScriptedPeer peer;
    RemoteDevice device;
    SignalRecorder recorder(&device);
    connectTo(peer, device);
    QCOMPARE(recorder.events,
             QStringList({"deviceConnect", "toolComChanged 0", "metricUnitsChanged 1"}));

    const QJsonValue maxForce = device.sendCommand(QStringLiteral("/vkt/maxForce"));
    QVERIFY(maxForce.isDouble());
    QCOMPARE(maxForce.toDouble(), 250.0);
    device.sendCommand(QStringLiteral("/vkt/commandForce"), QStringLiteral("25"));
    device.sendCommand(QStringLiteral("/deviceName"), QStringLiteral(" My \t Dev\r\nice "));
    device.sendCommand(QStringLiteral("/vkt/maxPosition"), QString());
    device.commandForce(1.0 / 3.0);
    device.commandPosition(12.5);
    device.payloadWeight(2.5e-07);
    device.controlMode(1);
    device.updateFirmware();

    const QByteArrayList golden{line(serial, "/deviceId"),
                                line(serial, "/vkt/deviceId"),
                                line(serial, "/stateObject"),
                                line(serial, "/vkt/maxForce"),
                                line(serial, "/vkt/commandForce=25"),
                                line(serial, "/deviceName=MyDevice"),
                                line(serial, "/vkt/maxPosition"),
                                line(serial, "/vkt/commandForce=0.333333"),
                                line(serial, "/vkt/commandPosition=12.5"),
                                line(serial, "/vkt/payloadWeight=2.5e-07"),
                                line(serial, "/vkt/controlMode=1"),
                                line(serial, "flashfirmware")};
    QCOMPARE(peer.received(), golden);
    QCOMPARE(peer.received().at(3).size(), serial ? 15 : 13);
    QCOMPARE(peer.received().at(4).size(), serial ? 22 : 20);
}

void TestExchange::staleInputIsDiscarded_data()
{
    addTransports();
}

void TestExchange::staleInputIsDiscarded()
{
    QFETCH(bool, serial);
    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device);

    // A leftover answer (as a console or an abandoned attempt leaves it) is waiting unread.
    device.transport()->write(line(serial, "/vkt/maxPosition"));
    if (serial) {
        const qint64 leftover = QByteArray("/vkt/maxPosition\r\n50\r\n>>").size();
        QTRY_VERIFY(device.serialPort()->bytesAvailable() >= leftover);
    } else {
        QTRY_VERIFY(device.udpSocket()->hasPendingDatagrams());
    }

    const QJsonValue maxForce = device.sendCommand(QStringLiteral("/vkt/maxForce"));
    QCOMPARE(maxForce, QJsonValue(250));
    QVERIFY(device.isConnected());
}

void TestExchange::unknownPathGivesErrorText_data()
{
    addTransports();
}

void TestExchange::unknownPathGivesErrorText()
{
    QFETCH(bool, serial);
    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device);
    const QString text = QStringLiteral("Error: unknown path /nope");
    QCOMPARE(device.sendCommand(QStringLiteral("/nope")),
             QJsonValue(serial ? "\r\n" + text : text));
    QVERIFY(device.isConnected());
}

void TestExchange::weighError_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("plain text keeps its CR LF") << true << QByteArray("Error: no payload")
                                                << QStringList{"weighError \r\nError: no payload"};
    QTest::newRow("JSON string") << true << QByteArray(R"("weigh Error 3")")
                                 << QStringList{"weighError weigh Error 3"};
    QTest::newRow("network string") << false << QByteArray(R"("Error: busy")")
                                    << QStringList{"weighError Error: busy"};
    QTest::newRow("lower case is no error") << true << QByteArray("error: busy") << QStringList();
    QTest::newRow("number") << true << QByteArray("1") << QStringList();
    QTest::newRow("object naming an error")
        << false << QByteArray(R"({"Error": "x"})") << QStringList();
}

void TestExchange::weighError()
{
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, events);
    ScriptedPeer peer;
    peer.setAnswer("/vkt/weighPayload", answer);
    RemoteDevice device;
    connectTo(peer, device);
    SignalRecorder recorder(&device);
    device.weighPayload();
    QCOMPARE(recorder.events, events);
}

void TestExchange::emptySerialAnswerEndsTheWait_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("serial") << true;
}

void TestExchange::emptySerialAnswerEndsTheWait()
{
    // Echo and prompt with nothing between: complete, so no wait runs into the port's time-out.
    ScriptedPeer peer;
    RemoteDevice device;
    connectTo(peer, device);
    peer.setAnswer("/vkt/maxForce", "");
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(device.sendCommand(QStringLiteral("/vkt/maxForce")), QJsonValue());
    QVERIFY2(clock.elapsed() < 500, QByteArray::number(clock.elapsed()));
    QVERIFY(device.isConnected());
}

void TestExchange::noLinkSendsNothing()
{
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QCOMPARE(device.sendCommand(QStringLiteral("/deviceId")), QJsonValue());
    device.commandForce(1);
    device.weighPayload();
    QVERIFY(!device.connectDevice(QStringLiteral("nothing://here")));
    QVERIFY(!device.connectDevice(QStringLiteral("usb:///dev/no-such-port")));
    QCOMPARE(recorder.events, QStringList());
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
