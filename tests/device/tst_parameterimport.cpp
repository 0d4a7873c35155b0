#include "parameterimport.h"

#include <QtTest>

using Commands = QVector<ParameterImport::Command>;
Q_DECLARE_METATYPE(Commands)

// The import planner alone: which documents become which command lines, and which are refused
// before anything would be sent.
class TestParameterImport : public QObject
{
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void bounds_data();
    void bounds();
};

namespace {

QByteArray nested(int levels) // a document `levels` deep, the root counted
{
    QByteArray inner = "1";
    for (int level = 3; level <= levels; ++level)
        inner = "{\"k\": " + inner + "}";
    return "{\"vkt\": {\"k\": " + inner + "}}";
}

} // namespace

void TestParameterImport::plan_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("needsHbn");
    QTest::addColumn<Commands>("commands"); // empty: refused

    const auto row = [](const char *name, const QByteArray &json, bool needsHbn,
                        const Commands &commands = {}) {
        QTest::newRow(name) << json << needsHbn << commands;
    };
    row("vkt alone", R"({"vkt": {"metricUnits": 1}})", false,
        {{"/vkt/metricUnits", "1"}, {"/vkt/metricUnits", "1"}});
    row("vkt and hbn on an HBN unit",
        R"({"vkt": {"initialMode": 1}, "hbn": {"anybus": {"nodeId": 3}}})", true,
        {{"/vkt/initialMode", "1"}, {"/hbn/anybus/nodeId", "3"}});
    row("hbn missing on an HBN unit", R"({"vkt": {"a": 1}})", true);
    row("root is an array", R"([{"vkt": {"a": 1}}])", false);
    row("not JSON", "{\"vkt\": ", false);
    row("a key named twice", R"({"vkt": {"a": {"b": 1}, "a": 2}})", false);
    row("vkt empty", R"({"vkt": {}})", false);
    // Keys a device may hold load again; only what changes a command line's meaning is refused.
    row("dotted key", R"({"vkt": {"fw.version": "2.1"}})", false, {{"/vkt/fw.version", "2.1"}});
    row("empty key", R"({"vkt": {"": 1}})", false);
    row("dots alone as a key", R"({"vkt": {"..": {"saveConfig": 1}}})", false);
    row("bad key in the hbn record", R"({"vkt": {"a": 1}, "hbn": {"net": {"x\n": 1}}})", true);
    row("control character inside an array", R"({"vkt": {"a": [1, ["x\u0000"]]}})", false);
    // A bare path would be a query, or an action.
    row("null member not sent", R"({"vkt": {"a": null, "b": 2}})", false, {{"/vkt/b", "2"}});
    row("blank text not sent", R"({"vkt": {"weighPayload": "", "forceMode": "  ", "b": 2}})", false,
        {{"/vkt/b", "2"}});
    // Known keys take their own JSON type; integers also true and false.
    row("integer key as true", R"({"vkt": {"softTouchEnabled": true}})", false,
        {{"/vkt/softTouchEnabled", "1"}});
    row("integer key as a string", R"({"vkt": {"initialWeigh": "1"}})", false);
    row("net not an object", R"({"vkt": {"net": "dhcp"}})", false);
    row("address as a number", R"({"vkt": {"net": {"ipAddress": 10}}})", false);
    row("node id as a string", R"({"vkt": {"a": 1}, "hbn": {"anybus": {"nodeId": "3"}}})", true);
    row("unknown key takes any type", R"({"vkt": {"x": {"y": "z"}, "w": [1]}})", false,
        {{"/vkt/w", "[1]"}, {"/vkt/x/y", "z"}});
}

void TestParameterImport::plan()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, needsHbn);
    QFETCH(Commands, commands);

    const ParameterImport::Plan plan = ParameterImport::plan(json, needsHbn);
    QCOMPARE(plan.isAccepted(), !commands.isEmpty());
    QCOMPARE(plan.commands, commands);
}

void TestParameterImport::bounds_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("8 levels") << nested(8) << true;
    QTest::newRow("9 levels") << nested(9) << false;
    QTest::newRow("9 levels in an array")
        << QByteArray(R"({"vkt": {"k": [[[[[[[1]]]]]]]}})") << false;
    // "/vkt/" and "=" take 6 bytes of the line.
    const auto line = [](int valueBytes) {
        return "{\"vkt\": {\"k\": \"" + QByteArray(valueBytes, 'v') + "\"}}";
    };
    QTest::newRow("line of 1024 bytes") << line(1024 - 7) << true;
    QTest::newRow("line of 1025 bytes") << line(1025 - 7) << false;
    const QByteArray padding(ParameterImport::fileLimitBytes, ' ');
    QTest::newRow("file of 1 MiB") << "{\"vkt\": {\"k\": 1}}" + padding.mid(17) << true;
    QTest::newRow("file over 1 MiB") << "{\"vkt\": {\"k\": 1}}" + padding.mid(16) << false;
}

void TestParameterImport::bounds()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, accepted);
    // Read as a parameter file is read, so that the bounded read meets the file bound too.
    QBuffer file(&json);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const ParameterImport::Plan plan = ParameterImport::plan(&file, false);
    QCOMPARE(plan.isAccepted(), accepted);
    QCOMPARE(plan.commands.isEmpty(), !accepted);
}

QTEST_GUILESS_MAIN(TestParameterImport)
#include "tst_parameterimport.moc"
