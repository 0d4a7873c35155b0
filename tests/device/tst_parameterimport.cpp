#include "parameterimport.h"

#include <QtTest>

// The import planner alone: which documents become which command lines, and which are refused
// whole before anything would be sent; and the report of values a device refused.
class TestParameterImport : public QObject
{
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void refusalReport();
};

namespace {

QByteArray nested(int levels) // a document `levels` deep, the root counted
{
    QByteArray inner = "1";
    for (int level = 3; level <= levels; ++level)
        inner = "{\"k\": " + inner + "}";
    return "{\"vkt\": {\"k\": " + inner + "}}";
}

QByteArray withValue(const QByteArray &value)
{
    return "{\"vkt\": {\"k\": \"" + value + "\"}}";
}

} // namespace

void TestParameterImport::plan_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("hbnUnit");
    QTest::addColumn<QStringList>("commands"); // "path=value" in order; none: refused

    const auto row = [](const char *name, const QByteArray &json, bool hbnUnit,
                        const QStringList &commands = {}) {
        QTest::newRow(name) << json << hbnUnit << commands;
    };
    // The unit system goes first, so that every value after it is read in its units.
    row("vkt alone", R"({"vkt": {"a": 2, "metricUnits": 1}})", false,
        {"/vkt/metricUnits=1", "/vkt/a=2", "/vkt/metricUnits=1"});
    row("vkt and hbn on an HBN unit",
        R"({"vkt": {"initialMode": 1}, "hbn": {"anybus": {"nodeId": 3}}})", true,
        {"/vkt/initialMode=1", "/hbn/anybus/nodeId=3"});
    row("hbn missing on an HBN unit", R"({"vkt": {"a": 1}})", true);
    row("root is an array", R"([{"vkt": {"a": 1}}])", false);
    row("not JSON", "{\"vkt\": ", false);
    row("a key named twice", R"({"vkt": {"a": {"b": 1}, "a": 2}})", false);
    row("vkt empty", R"({"vkt": {}})", false);
    // Keys a device may hold load again; only what changes a command line's meaning is refused.
    row("dotted key", R"({"vkt": {"fw.version": "2.1"}})", false, {"/vkt/fw.version=2.1"});
    row("dots alone as a key", R"({"vkt": {"..": {"saveConfig": 1}}})", false);
    row("slash in a key", R"({"vkt": {"../flashfirmware": 1}})", false);
    row("equals sign in a key", R"({"vkt": {"softTouchForce=0.3": 0.3}})", false);
    row("U+2028 in a key", R"({"vkt": {"softTouchForce\u2028flashfirmware": 0.3}})", false);
    row("CR LF in a key of the hbn record", R"({"vkt": {"a": 1}, "hbn": {"net": {"x\r\n": 1}}})",
        true);
    row("control characters in a value", R"({"vkt": {"a": 1, "name": "a\u001b[2J\r\nx"}})", false);
    row("control character inside an array", R"({"vkt": {"a": [1, ["x\u0000"]]}})", false);
    // A bare path would be a query, or an action.
    row("null member not sent", R"({"vkt": {"a": null, "b": 2}})", false, {"/vkt/b=2"});
    row("blank text not sent", R"({"vkt": {"weighPayload": "", "forceMode": "  ", "b": 2}})", false,
        {"/vkt/b=2"});
    // Known keys take their own JSON type; integers also true and false.
    row("integer key as true", R"({"vkt": {"softTouchEnabled": true}})", false,
        {"/vkt/softTouchEnabled=1"});
    row("integer key as a string", R"({"vkt": {"metricUnits": 1, "initialWeigh": "1"}})", false);
    row("net not an object", R"({"vkt": {"net": "dhcp"}})", false);
    row("address as a number", R"({"vkt": {"net": {"ipAddress": 10}}})", false);
    row("unknown key takes any type", R"({"vkt": {"x": {"y": "z"}, "w": [1], "n": 20231234}})",
        false, {"/vkt/n=20231234", "/vkt/w=[1]", "/vkt/x/y=z"});
    // The bounds: 8 levels, 1024 bytes a line ("/vkt/k=" is 7), 1 MiB a file.
    row("8 levels", nested(8), false, {"/vkt/k/k/k/k/k/k/k=1"});
    row("9 levels", nested(9), false);
    row("9 levels in an array", R"({"vkt": {"k": [[[[[[[1]]]]]]]}})", false);
    row("line of 1024 bytes", withValue(QByteArray(1017, 'v')), false,
        {"/vkt/k=" + QString(1017, 'v')});
    row("line of 1025 bytes", withValue(QByteArray(1018, 'v')), false);
    constexpr int mebibyte = 1024 * 1024;
    row("file of 1 MiB", withValue("v").leftJustified(mebibyte, ' '), false, {"/vkt/k=v"});
    row("file over 1 MiB", withValue("v").leftJustified(mebibyte + 1, ' '), false);
}

void TestParameterImport::plan()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, hbnUnit);
    // Read as a parameter file is read, so that the bounded read meets the file bound too.
    QBuffer file(&json);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const ParameterImport::Plan plan = ParameterImport::plan(&file, hbnUnit);
    QStringList commands;
    for (const ParameterImport::Command &command : plan.commands)
        commands << command.path + '=' + command.value;
    QTEST(commands, "commands");
    QCOMPARE(plan.isAccepted(), !commands.isEmpty());
}

// Up to eight refusals, each cut to a line of 160 characters, and how many more there were.
void TestParameterImport::refusalReport()
{
    QStringList refused;
    for (int i = 0; i < 10; ++i)
        refused << QStringLiteral("/vkt/k%1: Error: unknown path").arg(i);
    refused[0] = "/vkt/" + QString(200, 'k') + "\x1b";
    QStringList expected{"Configuration not saved: the device refused 10 value(s):",
                         "/vkt/" + QString(154, 'k') + QChar(0x2026)};
    expected += refused.mid(1, 7);
    expected << "and 2 more"
             << "The other values are active but not stored.";
    QCOMPARE(ParameterImport::refusalReport(refused), expected);
}

QTEST_GUILESS_MAIN(TestParameterImport)
#include "tst_parameterimport.moc"
