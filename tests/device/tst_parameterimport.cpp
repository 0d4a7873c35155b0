#include "parameterimport.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<ParameterCommand>)

namespace QTest {
template <>
char *toString(const ParameterCommand &command)
{
    return qstrdup(qPrintable(command.path + QLatin1Char('=') + command.value));
}
} // namespace QTest

// The import as a pure function: which documents become which command lines, and which are
// refused before anything could be sent.
class TestParameterImport : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void boundsAreExact_data();
    void boundsAreExact();
};

namespace {

QByteArray nested(int levels)
{
    // `levels` counts the document itself and its "vkt" record.
    QByteArray inner = "1";
    for (int level = 1; level < levels; ++level)
        inner = "{\"n\": " + inner + "}";
    return "{\"vkt\": " + inner + "}";
}

} // namespace

void TestParameterImport::accepted_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("needsHbn");
    QTest::addColumn<QVector<ParameterCommand>>("commands");

    QTest::newRow("units first and again in place, nested by name")
        << QByteArray(R"({"vkt": {"payloadWeight": 2.5, "metricUnits": 1,
                                  "net": {"gateway": "10.0.0.1", "dhcp": true}}})")
        << false
        << QVector<ParameterCommand>{{"/vkt/metricUnits", "1"}, {"/vkt/metricUnits", "1"},
                                     {"/vkt/net/dhcp", "1"}, {"/vkt/net/gateway", "10.0.0.1"},
                                     {"/vkt/payloadWeight", "2.5"}};
    QTest::newRow("hbn record on an HBN unit")
        << QByteArray(R"({"vkt": {"initialMode": 0}, "hbn": {"anybus": {"nodeId": 3}}})") << true
        << QVector<ParameterCommand>{{"/vkt/initialMode", "0"}, {"/hbn/anybus/nodeId", "3"}};
    QTest::newRow("hbn record ignored on a VKT alone")
        << QByteArray(R"({"vkt": {"initialMode": 0}, "hbn": {"anybus": {"nodeId": 3}}})") << false
        << QVector<ParameterCommand>{{"/vkt/initialMode", "0"}};
    QTest::newRow("null members are not sent")
        << QByteArray(R"({"vkt": {"initialForce": null, "metricUnits": null, "x": 1}})") << false
        << QVector<ParameterCommand>{{"/vkt/x", "1"}};
    QTest::newRow("dotted, non-ASCII and unknown keys carried through")
        << QByteArray("{\"vkt\": {\"fw.version\": \"1.2\", \"gr\xc3\xb6\xc3\x9f\x65\": [1, 2]}}")
        << false
        << QVector<ParameterCommand>{{"/vkt/fw.version", "1.2"},
                                     {QString::fromUtf8("/vkt/gr\xc3\xb6\xc3\x9f\x65"), "[1,2]"}};
    QTest::newRow("deepest nesting allowed") << nested(8) << false
        << QVector<ParameterCommand>{{"/vkt/n/n/n/n/n/n/n", "1"}};
}

void TestParameterImport::accepted()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, needsHbn);
    QFETCH(QVector<ParameterCommand>, commands);
    const ParameterImport::Result result = ParameterImport::commandsFor(json, needsHbn);
    QVERIFY2(result.isAccepted(), qPrintable(result.rejection));
    QCOMPARE(result.commands, commands);
}

void TestParameterImport::rejected_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("needsHbn");

    QTest::newRow("not JSON") << QByteArray("{\"vkt\": ") << false;
    QTest::newRow("root is an array") << QByteArray(R"([{"vkt": {"a": 1}}])") << false;
    QTest::newRow("vkt empty") << QByteArray(R"({"vkt": {}})") << false;
    QTest::newRow("hbn missing on an HBN unit") << QByteArray(R"({"vkt": {"a": 1}})") << true;
    QTest::newRow("CR LF in a key")
        << QByteArray(R"({"vkt": {"a\r\nflashfirmware": 1}})") << false;
    QTest::newRow("space in a key") << QByteArray(R"({"vkt": {"a b": 1}})") << false;
    QTest::newRow("= in a key") << QByteArray(R"({"vkt": {"a=1": 1}})") << false;
    QTest::newRow("/ in a key") << QByteArray(R"({"vkt": {"net/dhcp": 1}})") << false;
    QTest::newRow("empty key") << QByteArray(R"({"vkt": {"": 1}})") << false;
    QTest::newRow("bad key in the hbn record")
        << QByteArray(R"({"vkt": {"a": 1}, "hbn": {"net": {"x\n": 1}}})") << true;
    QTest::newRow("CR LF in a value")
        << QByteArray(R"({"vkt": {"a": "1\r\nflashfirmware"}})") << false;
    QTest::newRow("control character inside an array")
        << QByteArray(R"({"vkt": {"a": [1, ["x\u0000"]]}})") << false;
    QTest::newRow("number key given a string")
        << QByteArray(R"({"vkt": {"initialForce": "10"}})") << false;
    QTest::newRow("number key given true") << QByteArray(R"({"vkt": {"softTouchForce": true}})")
                                           << false;
    QTest::newRow("integer key given an array")
        << QByteArray(R"({"vkt": {"metricUnits": [1]}})") << false;
    QTest::newRow("address given a number")
        << QByteArray(R"({"vkt": {"net": {"ipAddress": 10}}})") << false;
    QTest::newRow("net given a number") << QByteArray(R"({"vkt": {"net": 1}})") << false;
    QTest::newRow("anybus given a string")
        << QByteArray(R"({"vkt": {"a": 1}, "hbn": {"anybus": "x"}})") << true;
    QTest::newRow("nested too deep") << nested(9) << false;
    QTest::newRow("array nested too deep")
        << QByteArray(R"({"vkt": {"a": [[[[[[[1]]]]]]]}})") << false;
}

void TestParameterImport::rejected()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, needsHbn);
    const ParameterImport::Result result = ParameterImport::commandsFor(json, needsHbn);
    QVERIFY(!result.isAccepted());
    QVERIFY(result.commands.isEmpty());
}

void TestParameterImport::boundsAreExact_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("accepted");

    // "/vkt/k=" is 7 bytes; the rest of the line is the value.
    const auto line = [](int bytes) {
        return "{\"vkt\": {\"k\": \"" + QByteArray(bytes - 7, 'x') + "\"}}";
    };
    QTest::newRow("line of 1024 bytes") << line(1024) << true;
    QTest::newRow("line of 1025 bytes") << line(1025) << false;
    // Padding after the document still counts: the file is bounded, not the JSON.
    const QByteArray small = R"({"vkt": {"k": 1}})";
    QTest::newRow("file of 1 MiB")
        << small + QByteArray(int(ParameterImport::maxFileBytes) - small.size(), ' ') << true;
    QTest::newRow("file over 1 MiB")
        << small + QByteArray(int(ParameterImport::maxFileBytes) - small.size() + 1, ' ')
        << false;
}

void TestParameterImport::boundsAreExact()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, accepted);
    QCOMPARE(ParameterImport::commandsFor(json, false).isAccepted(), accepted);
}

QTEST_GUILESS_MAIN(TestParameterImport)
#include "tst_parameterimport.moc"
