#include "replyframer.h"

#include <QJsonDocument>
#include <QtTest>

class TestReplyFramer : public QObject
{
    Q_OBJECT

private slots:
    void serial_data();
    void serial();
    void network_data();
    void network();
};

namespace {

// Expected replies are written as JSON text; an empty text means "not complete yet".
QJsonObject object(const QByteArray &json)
{
    return json.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(json).object();
}

} // namespace

void TestReplyFramer::serial_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("answer without prompt")
        << QByteArray("/vkt/maxForce\r\n250") << QByteArray();
    QTest::newRow("half a prompt") << QByteArray("/vkt/maxForce\r\n250\r\n>") << QByteArray();
    QTest::newRow("prompt without CR") << QByteArray("/vkt/maxForce\r\n250\n>>") << QByteArray();
    QTest::newRow("worked example")
        << QByteArray("/vkt/maxForce\r\n250\r\n>>") << QByteArray(R"({"/vkt/maxForce": 250})");
    QTest::newRow("setting echo keys on the path")
        << QByteArray("/vkt/commandForce=25\r\n25\r\n>>")
        << QByteArray(R"({"/vkt/commandForce": 25})");
    QTest::newRow("white space before the echo")
        << QByteArray("\r\n \t/vkt/maxPosition\r\n50.5\r\n>>")
        << QByteArray(R"({"/vkt/maxPosition": 50.5})");
    QTest::newRow("object answer")
        << QByteArray("/deviceId\r\n{\"deviceName\": \"Cell 3\",\r\n \"modelName\": \"HBN\"}\r\n>>")
        << QByteArray(R"({"/deviceId": {"deviceName": "Cell 3", "modelName": "HBN"}})");
    QTest::newRow("error text keeps its leading CR LF")
        << QByteArray("/nope\r\nError: unknown path /nope\r\n>>")
        << QByteArray(R"({"/nope": "\r\nError: unknown path /nope"})");
    QTest::newRow("empty answer completes as null")
        << QByteArray("/vkt/deviceId\r\n\r\n>>") << QByteArray(R"({"/vkt/deviceId": null})");
    QTest::newRow("every prompt is removed, wherever it stands")
        << QByteArray("/a\r\n1\r\n>>2\r\n>>") << QByteArray(R"({"/a": 12})");
}

void TestReplyFramer::serial()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(ReplyFramer::parseSerial(bytes), object(expected));
}

void TestReplyFramer::network_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("worked example")
        << QByteArray(R"({"data": {"/vkt/maxForce": 250}})")
        << QByteArray(R"({"/vkt/maxForce": 250})");
    QTest::newRow("another path is still a reply")
        << QByteArray(R"({"data": {"/other": 1}})") << QByteArray(R"({"/other": 1})");
    QTest::newRow("empty data keeps waiting") << QByteArray(R"({"data": {}})") << QByteArray();
    QTest::newRow("data not an object") << QByteArray(R"({"data": 5})") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("/a\r\n1\r\n>>") << QByteArray();
}

void TestReplyFramer::network()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(ReplyFramer::parseNetwork(bytes), object(expected));
}

QTEST_GUILESS_MAIN(TestReplyFramer)
#include "tst_replyframer.moc"
