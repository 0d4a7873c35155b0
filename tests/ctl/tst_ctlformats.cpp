#include "commandtext.h"
#include "parametercomparison.h"
#include "statewriter.h"

#include <QJsonDocument>
#include <QtTest>

// What the tool types for the device and prints for the operator.
class TestCtlFormats : public QObject
{
    Q_OBJECT

private slots:
    void argument_data();
    void argument();
    void isPath_data();
    void isPath();
    void compactJson_data();
    void compactJson();
    void csvLog();
    void jsonLog();
    void comparison();
};

namespace {

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

void TestCtlFormats::argument_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // empty: refused
    const auto row = [](const char *name, const QString &typed, const QString &sent) {
        QTest::newRow(name) << typed << sent;
    };
    row("number as the dashboard writes it", "12.50", "12.5");
    row("six significant digits", "123.4567", "123.457");
    row("whole number exactly", "1234567", "1234567");
    row("exponent", "1e3", "1000");
    row("flag", "true", "1");
    row("JSON string", "\"My Device\"", "My Device");
    row("address text as typed", "192.168.0.7", "192.168.0.7");
    row("leading zeros are text", "007", "007");
    row("plain text", "My Device", "My Device");
    row("two values are text", "1,2", "1,2");
    row("white space only", " \t ", "");
    row("null would turn into a query", "null", "");
    row("control character", "a\003b", "");
}

void TestCtlFormats::argument()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    QCOMPARE(CommandText::argument(typed), sent);
}

void TestCtlFormats::isPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("path") << "/vkt/maxForce" << true;
    QTest::newRow("action without slash") << "flashfirmware" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a setting in disguise") << "/deviceName=x" << false;
    QTest::newRow("space") << "/vkt/max Force" << false;
    QTest::newRow("second line") << "/deviceId\r\n/saveConfig" << false;
}

void TestCtlFormats::isPath()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(CommandText::isPath(text), valid);
}

void TestCtlFormats::compactJson_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("number") << QJsonValue(12.5) << "12.5";
    QTest::newRow("string") << QJsonValue("a\"b") << "\"a\\\"b\"";
    QTest::newRow("flag") << QJsonValue(true) << "true";
    QTest::newRow("null") << QJsonValue() << "null";
    QTest::newRow("object") << QJsonValue(object("{\"b\": 1, \"a\": [1, 2]}"))
                            << "{\"a\":[1,2],\"b\":1}";
}

void TestCtlFormats::compactJson()
{
    QFETCH(QJsonValue, value);
    QFETCH(QString, text);
    QCOMPARE(CommandText::compactJson(value), text);
}

void TestCtlFormats::csvLog()
{
    StateWriter writer(StateWriter::Format::Csv);
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(86400123, Qt::UTC);
    // Known members in the dashboard's order whatever the record's own, then the others.
    const QString first =
        writer.write(time, object(R"({"zeta":"a,\"b","dioValue":2555904,"actualForce":-0.25,
                             "metricUnits":1})"));
    QCOMPARE(first, QString("time,metricUnits,actualForce,dioValue,zeta\n"
                            "1970-01-02T00:00:00.123Z,1,-0.25,2555904,\"a,\"\"b\"\n"));
    // The header stays; a member that went missing leaves its field empty.
    QCOMPARE(writer.write(time, object(R"({"metricUnits":0,"actualForce":3,"dioValue":64})")),
             QString("1970-01-02T00:00:00.123Z,0,3,64,\n"));
}

void TestCtlFormats::jsonLog()
{
    StateWriter writer(StateWriter::Format::JsonLines);
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    const QString line = writer.write(time, object(R"({"actualForce":1.5})"));
    QCOMPARE(line,
             QString("{\"state\":{\"actualForce\":1.5},\"time\":\"1970-01-01T00:00:00.000Z\"}\n"));
    QCOMPARE(writer.write(time, object("{}")).count('\n'), 1); // no header, ever
}

void TestCtlFormats::comparison()
{
    const QJsonObject device = object(R"({"vkt":{"initialForce":10,"metricUnits":1,
                                             "net":{"dhcp":1}},
                                          "hbn":{"anybus":{"nodeId":3}}})");
    const QJsonObject file = object(R"({"vkt":{"initialForce":10.0,"metricUnits":0,
                                           "extra":"x","net":{"dhcp":1}},
                                        "hbn":{"anybus":{"nodeId":4}}, "other": 1})");

    const auto entries = ParameterComparison::compare(device, file, {"vkt"});
    QStringList lines;
    for (const auto &entry : entries)
        lines << ParameterComparison::line(entry);
    QCOMPARE(lines, QStringList({"* /vkt/extra: device (none), file \"x\"",
                                 "  /vkt/initialForce: device 10, file 10",
                                 "* /vkt/metricUnits: device 1, file 0",
                                 "  /vkt/net/dhcp: device 1, file 1"}));

    const auto withHbn = ParameterComparison::compare(device, file, {"vkt", "hbn"});
    QCOMPARE(withHbn.size(), 5);
    QCOMPARE(withHbn.first().path, QString("/hbn/anybus/nodeId"));
    QVERIFY(withHbn.first().differs());
}

QTEST_GUILESS_MAIN(TestCtlFormats)
#include "tst_ctlformats.moc"
