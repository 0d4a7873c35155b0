#include "replyframer.h"

#include <QJsonDocument>
#include <QtTest>

class TestReplyFramer : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void takeSerialFrame_data();
    void takeSerialFrame();
};

namespace {

// Expected replies are written as JSON text; an empty text means "not complete yet".
QJsonObject object(const QByteArray &json)
{
    return json.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(json).object();
}

} // namespace

void TestReplyFramer::parse_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](bool serial, const char *name, const QByteArray &bytes,
                        const QByteArray &expected = QByteArray()) {
        QTest::newRow(name) << serial << bytes << expected;
    };

    row(true, "half a prompt", "/vkt/maxForce\r\n250\r\n>");
    row(true, "prompt without CR", "/vkt/maxForce\r\n250\n>>");
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
    row(true, "error text beyond ASCII", "/nope\r\nFehler: \xC3\xA4\r\n>>",
        R"({"/nope": "\r\nFehler: \u00e4"})");
    row(false, "datagram worked example", R"({"data": {"/vkt/maxForce": 250}})",
        R"({"/vkt/maxForce": 250})");
    row(false, "empty data keeps waiting", R"({"data": {}})");
    row(false, "not JSON", "/a\r\n1\r\n>>");
}

void TestReplyFramer::parse()
{
    QFETCH(bool, serial);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(serial ? ReplyFramer::parseSerial(bytes) : ReplyFramer::parseNetwork(bytes),
             object(expected));
}

void TestReplyFramer::takeSerialFrame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("left");

    QTest::newRow("incomplete stays")
        << QByteArray("/a\r\n1\r\n>") << QByteArray() << QByteArray("/a\r\n1\r\n>");
    QTest::newRow("one frame, nothing left")
        << QByteArray("/a\r\n1\r\n>>") << QByteArray(R"({"/a": 1})") << QByteArray();
    QTest::newRow("stray prompt is a frame of its own")
        << QByteArray("\r\n>>/a\r\n1\r\n>>") << QByteArray(R"({">>": null})")
        << QByteArray("/a\r\n1\r\n>>");
    QTest::newRow("banner, then the start of a reply")
        << QByteArray("\r\nboot 2.1\r\n>>/a\r\n") << QByteArray(R"({"boot": 2.1})")
        << QByteArray("/a\r\n");
}

void TestReplyFramer::takeSerialFrame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, left);
    QCOMPARE(ReplyFramer::takeSerialFrame(&bytes), object(expected));
    QCOMPARE(bytes, left);
}

QTEST_GUILESS_MAIN(TestReplyFramer)
#include "tst_replyframer.moc"
