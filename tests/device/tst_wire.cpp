#include "replyframer.h"
#include "wireformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

// What crosses the wire, without a device: the command lines that go out and the replies that
// come in.
class TestWire : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void argumentText_data();
    void argumentText();
    void parse_data();
    void parse();
    void takeSerialFrame_data();
    void takeSerialFrame();
};

namespace {

// Expected replies are written as JSON text; an empty text means "not complete yet".
QJsonObject object(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

void TestWire::commandLine_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("query on the serial line") << "/vkt/maxForce"
                                              << "" << true << QByteArray("/vkt/maxForce\r\n");
    QTest::newRow("setting as a datagram") << "/vkt/commandForce"
                                           << "25" << false << QByteArray("/vkt/commandForce=25");
    QTest::newRow("white space removed from the value")
        << "/deviceName"
        << " My \t Dev\r\nice " << true << QByteArray("/deviceName=MyDevice\r\n");
}

void TestWire::commandLine()
{
    QFETCH(QString, path);
    QFETCH(QString, value);
    QFETCH(bool, serial);
    QTEST(WireFormat::commandLine(path, value, serial), "bytes");
}

void TestWire::argumentText_data()
{
    QTest::addColumn<bool>("typed"); // a number of a typed operation, not a JSON value
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("one third") << true << QJsonValue(1.0 / 3.0) << "0.333333";
    QTest::newRow("exponent below -4") << true << QJsonValue(2.5e-07) << "2.5e-07";
    QTest::newRow("JSON fraction to six digits") << false << QJsonValue(123.4567) << "123.457";
    QTest::newRow("JSON whole number exact") << false << QJsonValue(-20231234) << "-20231234";
    QTest::newRow("JSON array compact") << false << QJsonValue(QJsonArray{1, "x"}) << "[1,\"x\"]";
    QTest::newRow("JSON null: a bare path") << false << QJsonValue() << QString();
}

void TestWire::argumentText()
{
    QFETCH(bool, typed);
    QFETCH(QJsonValue, value);
    QTEST(typed ? WireFormat::formatNumber(value.toDouble()) : WireFormat::formatValue(value),
          "text");
}

void TestWire::parse_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](bool serial, const char *name, const QByteArray &bytes,
                        const QByteArray &expected = QByteArray()) {
        QTest::newRow(name) << serial << bytes << expected;
    };
    row(true, "setting echo keys on the path", "/vkt/commandForce=25\r\n25\r\n>>",
        R"({"/vkt/commandForce": 25})");
    row(true, "white space before the echo", "\r\n \t/vkt/maxPosition\r\n50.5\r\n>>",
        R"({"/vkt/maxPosition": 50.5})");
    row(true, "object answer",
        "/deviceId\r\n{\"deviceName\": \"Cell 3\",\r\n \"modelName\": \"HBN\"}\r\n>>",
        R"({"/deviceId": {"deviceName": "Cell 3", "modelName": "HBN"}})");
    row(true, "error text keeps its leading CR LF", "/nope\r\nError: unknown path /nope\r\n>>",
        R"({"/nope": "\r\nError: unknown path /nope"})");
    row(true, "empty answer completes as null", "/vkt/deviceId\r\n\r\n>>",
        R"({"/vkt/deviceId": null})");
    row(true, "every prompt is removed, wherever it stands", "/a\r\n1\r\n>>2\r\n>>",
        R"({"/a": 12})");
    // Anything beyond ASCII is read as the locale's text (UTF-8 here), its white space too.
    row(true, "text answer beyond ASCII", "/vkt/deviceName\r\n\"Zelle \xC3\xA4\"\r\n>>",
        R"({"/vkt/deviceName": "Zelle \u00e4"})");
    row(true, "no-break space ends the echo", "/vkt/deviceName\xC2\xA0\"Zelle 3\"\r\n>>",
        R"({"/vkt/deviceName": "\u00a0\"Zelle 3\""})");
    row(false, "datagram worked example", R"({"data": {"/vkt/maxForce": 250}})",
        R"({"/vkt/maxForce": 250})");
    row(false, "empty data keeps waiting", R"({"data": {}})");
    row(false, "not JSON", "/a\r\n1\r\n>>");
    // Qt 5 loses the memory of a container under a key named twice: such a reply is no JSON.
    row(false, "a key named twice, escaped the second time",
        R"({"data": {"/a": [1], "\u002fa": [2]}})");
    row(true, "a key named twice is text", "/a\r\n{\"k\": {}, \"k\": 1}\r\n>>",
        R"({"/a": "\r\n{\"k\": {}, \"k\": 1}"})");
    row(false, "one key in each of two objects", R"({"data": {"/a": [{"k": 1}, {"k": 2}]}})",
        R"({"/a": [{"k": 1}, {"k": 2}]})");
}

void TestWire::parse()
{
    QFETCH(bool, serial);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(serial ? ReplyFramer::parseSerial(bytes) : ReplyFramer::parseNetwork(bytes),
             object(expected));
}

void TestWire::takeSerialFrame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("left");
    QTest::newRow("stray prompt is a frame of its own")
        << QByteArray("\r\n>>/a\r\n1\r\n>>") << QByteArray(R"({">>": null})")
        << QByteArray("/a\r\n1\r\n>>");
    QTest::newRow("banner, then the start of a reply")
        << QByteArray("\r\nboot 2.1\r\n>>/a\r\n") << QByteArray(R"({"boot": 2.1})")
        << QByteArray("/a\r\n");
}

void TestWire::takeSerialFrame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, left);
    QCOMPARE(ReplyFramer::takeSerialFrame(&bytes), object(expected));
    QCOMPARE(bytes, left);
}

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
