// The simulated device's parts without a process: line framing, the physical model, the
// weighing, the configuration with its units, and command routing.
#include "configstore.h"
#include "lineframer.h"
#include "payloadscale.h"
#include "physicsmodel.h"
#include "simdevice.h"

#include <QJsonObject>
#include <QtTest>

class TestSimModel : public QObject
{
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void physicsStaysWithinRatingAndStroke();
    void weighing_data();
    void weighing();
    void englishUnits_data();
    void englishUnits();
    void refusedSettings_data();
    void refusedSettings();
    void routing_data();
    void routing();
};

void TestSimModel::framing_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("echo");
    QTest::newRow("CR LF, CR, LF")
        << QByteArray("/a\r\n/b\r/c\n") << QByteArrayList{"/a", "/b", "/c"} << QByteArray("/a/b/c");
    QTest::newRow("LF CR is two ends") << QByteArray("\n\r") << QByteArrayList{"", ""}
                                       << QByteArray();
    QTest::newRow("backspace, DEL, control bytes")
        << QByteArray("\b/ab\bc\x7f\x7f\x01\x1b" "d\r") << QByteArrayList{"/d"}
        << QByteArray("/ab\b \bc\b \b\b \bd");
    QTest::newRow("overlong line is cut")
        << QByteArray(LineFramer::maxLineBytes + 10, 'x') + "\r"
        << QByteArrayList{QByteArray(LineFramer::maxLineBytes, 'x')}
        << QByteArray(LineFramer::maxLineBytes, 'x');
}

void TestSimModel::framing()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, echo);
    LineFramer framer;
    QByteArrayList seen;
    QByteArray echoed;
    for (const char byte : input) {
        const LineFramer::Step step = framer.push(byte);
        echoed += step.echo;
        if (step.lineDone)
            seen << framer.takeLine();
    }
    QCOMPARE(seen, lines);
    QCOMPARE(echoed, echo);
}

void TestSimModel::physicsStaysWithinRatingAndStroke()
{
    PhysicsModel model(250, 50, 7);
    model.setForceMode(true);
    model.setCommandForce(100);
    model.advance(0.05);
    QVERIFY2(model.actualForce() > 5 && model.actualForce() < 60, "no lag, or no response");
    model.setCommandForce(1000);
    QCOMPARE(model.commandForce(), 250.0);
    model.advance(3); // pushes the carriage to the end of its stroke
    QCOMPARE(model.actualPosition(), 50.0);
    QVERIFY(qAbs(model.actualForce() - 250) < 2);
    model.setForceMode(false);
    model.setCommandPosition(-20);
    QCOMPARE(model.commandPosition(), 0.0);
    model.setCommandPosition(30);
    double peakAccel = 0;
    for (int i = 0; i < 150; ++i) {
        model.advance(0.02);
        peakAccel = qMax(peakAccel, qAbs(model.accelGravity()));
    }
    QVERIFY(qAbs(model.actualPosition() - 30) < 0.1);
    QVERIFY2(peakAccel > 0.1, "acceleration does not follow the motion");
}

void TestSimModel::weighing_data()
{
    QTest::addColumn<bool>("failing");
    QTest::addColumn<double>("result");
    QTest::newRow("good") << false << 4.0;
    QTest::newRow("failing") << true << 0.0;
}

void TestSimModel::weighing()
{
    QFETCH(bool, failing);
    QFETCH(double, result);
    PayloadScale scale(4.0, failing, 3);
    scale.start();
    QVERIFY(!scale.advance(PayloadScale::weighingS - 0.1));
    QVERIFY(scale.weight() < 0);
    QVERIFY(scale.advance(0.2));
    QVERIFY(qAbs(scale.weight() - result) <= 0.02);
}

void TestSimModel::englishUnits_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("english");
    QTest::addColumn<double>("metric");
    QTest::newRow("force") << "initialForce" << "10" << 44.45;
    QTest::newRow("weight") << "payloadWeight" << "11" << 5.0;
    QTest::newRow("position") << "initialPosition" << "1.5" << 38.1;
    QTest::newRow("fraction") << "softTouchPosition" << "0.5" << 0.5;
}

void TestSimModel::englishUnits()
{
    QFETCH(QString, key);
    QFETCH(QString, english);
    QFETCH(double, metric);
    ConfigStore store("Sim", 50, false);
    QVERIFY(store.setText(ConfigGroup::Vkt, "metricUnits", "0").ok);
    QCOMPARE(store.setText(ConfigGroup::Vkt, key, english).value.toDouble(), english.toDouble());
    QVERIFY(qAbs(store.metricNumber(key) - metric) < 1e-9);
    QVERIFY(store.setText(ConfigGroup::Vkt, "metricUnits", "1").ok);
    QVERIFY(qAbs(store.vktRecord().value(key).toDouble() - metric) < 1e-6);
}

void TestSimModel::refusedSettings_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("not a number") << int(ConfigGroup::Vkt) << "initialForce" << "12,5";
    QTest::newRow("not finite") << int(ConfigGroup::Vkt) << "initialForce" << "inf";
    QTest::newRow("fraction above 1") << int(ConfigGroup::Vkt) << "softTouchForce" << "1.5";
    QTest::newRow("address part above 255") << int(ConfigGroup::Net) << "gateway"
                                            << "10.0.0.256";
    QTest::newRow("fractional integer") << int(ConfigGroup::Anybus) << "nodeId" << "3.5";
    QTest::newRow("unknown key") << int(ConfigGroup::Net) << "mtu" << "1500";
}

void TestSimModel::refusedSettings()
{
    QFETCH(int, group);
    QFETCH(QString, key);
    QFETCH(QString, text);
    ConfigStore store("Sim", 50, false);
    const QJsonObject before = store.document();
    const SetResult result = store.setText(ConfigGroup(group), key, text);
    QVERIFY(!result.ok);
    QVERIFY(result.error.startsWith("Error"));
    QCOMPARE(store.document(), before);
}

void TestSimModel::routing_data()
{
    QTest::addColumn<bool>("standalone");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer"); // compact JSON, or the plain text
    QTest::newRow("hbn net by file path") << false << "/hbn/net/dhcp=1" << "1";
    QTest::newRow("hbn anybus by file path") << false << "/hbn/anybus/nodeId=3" << "3";
    QTest::newRow("hbn has no tool net") << false << "/vkt/net/dhcp=1"
                                         << "Error: unknown path /vkt/net/dhcp";
    QTest::newRow("read-only") << false << "/vkt/maxForce=5"
                               << "Error: /vkt/maxForce cannot be set";
    QTest::newRow("bad mode") << false << "/vkt/controlMode=x"
                              << "Error: invalid value x for controlMode";
    QTest::newRow("vkt own net") << true << "/vkt/net/timeout=12" << "12";
    QTest::newRow("vkt no fieldbus") << true << "/anybus/nodeId=3"
                                     << "Error: unknown path /anybus/nodeId";
}

void TestSimModel::routing()
{
    QFETCH(bool, standalone);
    QFETCH(QString, command);
    QFETCH(QString, answer);
    SimDevice::Settings settings;
    settings.standalone = standalone;
    SimDevice device(settings);
    QString error;
    QVERIFY(device.start(&error));
    QCOMPARE(QString::fromUtf8(device.handle(command).terminalBytes()), answer);
}

QTEST_GUILESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
