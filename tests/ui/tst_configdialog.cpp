#include "configdialog.h"
#include "configdialogdriver.h"
#include "connectedwindow.h"

#include <QElapsedTimer>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace ConfigDialogDriver;

using Edits = QList<QPair<QString, QVariant>>;
Q_DECLARE_METATYPE(Edits)

// The simulator reports what it received a little later: the count once everything sent so far
// has been seen.
static int mark(ConnectedWindow &connected)
{
    connected.sentSince(connected.sim.commands().size());
    return connected.sim.commands().size();
}

// The configuration dialog against the simulated device: what it shows, and exactly which set
// commands its OK sends.
class TestConfigDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pagesPerUnit_data();
    void pagesPerUnit();
    void allRowsInTableOrder();
    void unitsSwitchGoesFirst();
    void unitsRoundTrip();
    void derivedLimits_data();
    void derivedLimits();
    void clampedValuesWrittenBack();
    void lamps();
    void firmwareUpdate_data();
    void firmwareUpdate();
    void firmwareButtonHiddenOverNetwork();
    void lostLinkIsReported();
    void settingsSurviveRestart_data();
    void settingsSurviveRestart();

private:
    QString writeConfig(const QByteArray &json);
    QTemporaryDir m_dir;
};

void TestConfigDialog::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(m_dir.isValid());
}

QString TestConfigDialog::writeConfig(const QByteArray &json)
{
    static int count = 0;
    const QString path = m_dir.filePath(QStringLiteral("config%1.json").arg(++count));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(json);
    return path;
}

void TestConfigDialog::pagesPerUnit_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("loads");
    const QStringList all{"General", "Soft Touch", "Network", "HBN I/O", "About"};
    QTest::newRow("vkt alone") << QStringList{"--device", "vkt"}
                               << QStringList{"General", "Soft Touch", "Network", "About"}
                               << QStringList{"/deviceId", "/vkt/cfgObject", "/vkt/maxForce",
                                              "/vkt/maxPosition"};
    QTest::newRow("hbn with tool")
        << QStringList{} << all
        << QStringList{"/deviceId",        "/vkt/cfgObject", "/vkt/maxForce",
                       "/vkt/maxPosition", "/hbn/cfgObject", "/hbn/anybus/moduleInfo"};
    QTest::newRow("hbn without tool")
        << QStringList{"--no-tool"} << QStringList{"Network", "HBN I/O", "About"}
        << QStringList{"/deviceId", "/hbn/cfgObject", "/hbn/anybus/moduleInfo"};
    QTest::newRow("no device") << QStringList() << QStringList{"Network", "About"} << QStringList();
}

void TestConfigDialog::pagesPerUnit()
{
    QFETCH(QStringList, simArguments);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, loads);
    ConnectedWindow connected;
    const bool noDevice = QTest::currentDataTag() == QByteArray("no device");
    if (!noDevice)
        QVERIFY(connected.connect(simArguments));
    const int from = mark(connected);
    ConfigDialog dialog(&connected.window.remoteDevice);
    QCOMPARE(tabTitles(dialog), titles);
    QCOMPARE(fieldValue(dialog, "deviceName").toString(),
             noDevice
                 ? QStringLiteral("NONE")
                 : connected.window.remoteDevice.deviceIdRecord().value("deviceName").toString());
    // "/net/macAddress" comes last; the check below uses it as its own end marker.
    if (!noDevice) {
        QCOMPARE(connected.sentSince(from), loads);
        QVERIFY(fieldValue(dialog, "macAddress").toString().startsWith("02:"));
    }
    QCOMPARE(fieldValue(dialog, "programVersion").toString(), QStringLiteral("1.0.1"));
    QVERIFY(fieldValue(dialog, "qtVersion").toString().startsWith(qVersion() + QString(", ")));
    if (noDevice)
        return;
    // OK without an edit sends nothing, not even a save.
    const int loaded = connected.sim.commands().size();
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(connected.sentSince(loaded), QStringList());
    QVERIFY(connected.answerer.boxes().isEmpty());
}

void TestConfigDialog::allRowsInTableOrder()
{
    ConnectedWindow connected;
    QVERIFY(connected.connect({}));
    ConfigDialog dialog(&connected.window.remoteDevice);
    // Edited last row first: the order sent is the table's, not the operator's; the name is
    // sent without its white space.
    const Edits edits{{"baudRate", 0},
                      {"nodeAddress", 5},
                      {"gateway0", 10},
                      {"netMask3", 128},
                      {"ipAddress0", 10},
                      {"timeout", 5},
                      {"dhcp", 0},
                      {"softTouchPosition", 12.3},
                      {"softTouchForce", 42.5},
                      {"softTouchEnabled", true},
                      {"negLimitPosition", 1.0},
                      {"posLimitPosition", 40.5},
                      {"initialPosition", 12.3},
                      {"payloadWeight", 1.25},
                      {"initialForce", -30.0},
                      {"initialMode", 0},
                      {"initialWeigh", true},
                      {"deviceName", "Cell 4"}};
    for (const auto &edit : edits)
        QVERIFY2(setField(dialog, edit.first, edit.second), qPrintable(edit.first));
    // Address parts edited before DHCP was chosen are still sent.
    QVERIFY(!dialog.findChild<QWidget *>("ipAddress0")->isEnabled());
    const int from = mark(connected);
    dialog.accept();
    QCOMPARE(connected.sentSince(from), QStringList({"/deviceName=Cell4",
                                                     "/vkt/initialWeigh=1",
                                                     "/vkt/initialMode=1",
                                                     "/vkt/initialForce=-30",
                                                     "/vkt/payloadWeight=1.25",
                                                     "/vkt/initialPosition=12.3",
                                                     "/vkt/posLimitPosition=40.5",
                                                     "/vkt/negLimitPosition=1",
                                                     "/vkt/softTouchEnabled=1",
                                                     "/vkt/softTouchForce=0.425",
                                                     "/vkt/softTouchPosition=0.123",
                                                     "/net/dhcp=1",
                                                     "/net/timeout=5",
                                                     "/net/ipAddress=10.168.1.50",
                                                     "/net/netMask=255.255.255.128",
                                                     "/net/gateway=10.168.1.1",
                                                     "/anybus/nodeId=5",
                                                     "/anybus/baudRate=1",
                                                     "/saveConfig",
                                                     "/vkt/saveConfig"}));
}

void TestConfigDialog::unitsSwitchGoesFirst()
{
    ConnectedWindow connected;
    QVERIFY(connected.connect({"--device", "vkt"}));
    ConfigDialog dialog(&connected.window.remoteDevice);
    QVERIFY(setField(dialog, "deviceName", "Cell5"));
    QVERIFY(setField(dialog, "englishUnits", true));
    QVERIFY(setField(dialog, "posLimitPosition", 1.5));
    const int from = mark(connected);
    dialog.accept();
    const QStringList sent = connected.sentSince(from);
    QCOMPARE(sent.mid(0, 2), QStringList({"/deviceName=Cell5", "/vkt/metricUnits=0"}));
    QVERIFY(sent.contains("/vkt/posLimitPosition=1.5"));
    // The force keeps its share of the range exactly, so it is not sent.
    QVERIFY(sent.filter("/vkt/initialForce").isEmpty());
    QCOMPARE(sent.mid(sent.size() - 1), QStringList{"/saveConfig"});
    // The device now holds the limit in inches.
    const QJsonObject record = connected.window.remoteDevice.vktCfgObject();
    QCOMPARE(record.value("metricUnits").toInt(), 0);
    QCOMPARE(record.value("posLimitPosition").toDouble(), 1.5);
}

void TestConfigDialog::unitsRoundTrip()
{
    ConnectedWindow connected;
    QVERIFY(connected.connect({"--device", "vkt", "--max-position", "100"}));
    ConfigDialog dialog(&connected.window.remoteDevice);
    auto *slider = dialog.findChild<QSlider *>("posLimitSlider");
    QVERIFY(setField(dialog, "posLimitPosition", 50.0));
    QCOMPARE(slider->value(), 500);

    QVERIFY(setField(dialog, "englishUnits", true));
    QCOMPARE(fieldValue(dialog, "posLimitPosition").toDouble(), 1.97);
    QCOMPARE(slider->value(), 196);
    // A click on the unit system already shown changes nothing.
    dialog.findChild<QAbstractButton *>("englishUnits")->click();
    QCOMPARE(fieldValue(dialog, "posLimitPosition").toDouble(), 1.97);
    QCOMPARE(slider->value(), 196);

    QVERIFY(setField(dialog, "metricUnits", true));
    QCOMPARE(fieldValue(dialog, "posLimitPosition").toDouble(), 50.0);
    QCOMPARE(slider->value(), 500);

    // A value typed in stays as typed although its slider position is truncated.
    QVERIFY(setField(dialog, "englishUnits", true));
    QVERIFY(setField(dialog, "negLimitPosition", 0.29));
    QCOMPARE(fieldValue(dialog, "negLimitPosition").toDouble(), 0.29);
    QCOMPARE(dialog.findChild<QSlider *>("negLimitSlider")->value(), 28);
    dialog.findChild<QSlider *>("negLimitSlider")->setValue(40);
    QCOMPARE(fieldValue(dialog, "negLimitPosition").toDouble(), 0.4);
}

void TestConfigDialog::derivedLimits_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<QString>("forceSuffix");
    QTest::addColumn<double>("forceLimit");
    QTest::addColumn<double>("payloadLimit");
    QTest::addColumn<double>("positionLimit");
    QTest::newRow("metric") << QStringList{"--max-force", "100", "--max-position", "101.6"} << " N"
                            << 200.0 << 20.41 << 101.6;
    QTest::newRow("english") << QStringList{"--max-force", "444.5",    "--max-position",
                                            "101.6",       "--config", "english"}
                             << " Lb" << 200.0 << 199.6 << 4.0;
}

void TestConfigDialog::derivedLimits()
{
    QFETCH(QStringList, simArguments);
    const int config = simArguments.indexOf("english");
    if (config >= 0)
        simArguments[config] = writeConfig(R"({"vkt": {"metricUnits": 0}})");
    ConnectedWindow connected;
    QVERIFY(connected.connect(QStringList{"--device", "vkt"} + simArguments));
    QCOMPARE(connected.window.remoteDevice.sendCommand("/vkt/maxForce").toDouble(), 100.0);
    ConfigDialog dialog(&connected.window.remoteDevice);
    auto *force = dialog.findChild<QDoubleSpinBox *>("initialForce");
    QTEST(force->suffix(), "forceSuffix");
    QTEST(force->maximum(), "forceLimit");
    QCOMPARE(force->minimum(), -force->maximum());
    QTEST(dialog.findChild<QDoubleSpinBox *>("payloadWeight")->maximum(), "payloadLimit");
    QTEST(dialog.findChild<QDoubleSpinBox *>("posLimitPosition")->maximum(), "positionLimit");
}

void TestConfigDialog::clampedValuesWrittenBack()
{
    const QString config =
        writeConfig(R"({"hbn": {"net": {"timeout": 0}, "anybus": {"nodeId": 120}}})");
    ConnectedWindow connected;
    QVERIFY(connected.connect({"--config", config}));
    ConfigDialog dialog(&connected.window.remoteDevice);
    QCOMPARE(fieldValue(dialog, "timeout").toInt(), 1);
    QCOMPARE(fieldValue(dialog, "nodeAddress").toInt(), 99);
    const int from = mark(connected);
    dialog.accept();
    QCOMPARE(connected.sentSince(from), QStringList({"/net/timeout=1", "/anybus/nodeId=99",
                                                     "/saveConfig", "/vkt/saveConfig"}));
}

void TestConfigDialog::lamps()
{
    ConnectedWindow connected;
    QVERIFY(connected.connect({}));
    const auto setDio = [&connected](int dio) {
        return connected.sim.control(QStringLiteral("state dioValue %1").arg(dio));
    };
    // Command level 5 lights lamps 1 and 3; WEIGH PAYLOAD is bit 8, so the whole integer counts.
    QVERIFY(setDio(0x5 | 0x100));
    QTRY_COMPARE(connected.window.remoteDevice.dioValue(), 0x5 | 0x100);
    ConfigDialog dialog(&connected.window.remoteDevice);
    const QStringList lamps{"ledCommand1",     "ledCommand2", "ledCommand3",   "ledCommand4",
                            "ledCommand5",     "ledCommand6", "ledCommandNeg", "ledPosMode",
                            "ledWeighPayload", "ledCpuClock", "ledHostCom",    "ledToolCom",
                            "ledPosLimit",     "ledNegLimit", "ledOkToWeigh",  "ledWeightOk"};
    const auto lit = [&dialog, &lamps] {
        QStringList on;
        for (const QString &lamp : lamps) {
            if (lampOn(dialog, lamp))
                on << lamp;
        }
        return on;
    };
    QCOMPARE(lit(), QStringList({"ledCommand1", "ledCommand3", "ledWeighPayload"}));
    const double posLimit = fieldValue(dialog, "posLimitPosition").toDouble();

    QVERIFY(setDio(0x1 | 0x40 | 0x80000 | 0x400000));
    QTRY_COMPARE(lit(),
                 QStringList({"ledCommand1", "ledCommandNeg", "ledPosLimit", "ledWeightOk"}));
    // The limit field of the same slot name is not touched by the lamp signal.
    QCOMPARE(fieldValue(dialog, "posLimitPosition").toDouble(), posLimit);
}

void TestConfigDialog::firmwareUpdate_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("confirmed") << int(QMessageBox::Ok) << QStringList{"flashfirmware"};
    QTest::newRow("cancelled") << int(QMessageBox::Cancel) << QStringList{};
}

void TestConfigDialog::firmwareUpdate()
{
    QFETCH(int, answer);
    QFETCH(QStringList, sent);
    ConnectedWindow connected{QMessageBox::StandardButton(answer)};
    QVERIFY(connected.connect({"--device", "vkt"}));
    ConfigDialog dialog(&connected.window.remoteDevice);
    QVERIFY(!dialog.findChild<QWidget *>("updateFirmwareButton")->isHidden());
    QVERIFY(setField(dialog, "timeout", 44));
    const int from = mark(connected);
    QTimer::singleShot(0, &dialog, &ConfigDialog::onUpdateFirmware);
    QTRY_COMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text,
             QStringLiteral("<b>Use the following steps to upgrade device firmware:</b>"));
    QCOMPARE(connected.sentSince(from), sent);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestConfigDialog::firmwareButtonHiddenOverNetwork()
{
    ConnectedWindow connected;
    QVERIFY(connected.sim.start(
        {"--device", "vkt", "--no-tcp", "--udp-address", SimProcess::uniqueLoopbackAddress()}));
    QVERIFY(connected.window.remoteDevice.connectDevice(connected.sim.networkAddress()));
    ConfigDialog dialog(&connected.window.remoteDevice);
    QVERIFY(dialog.findChild<QWidget *>("updateFirmwareButton")->isHidden());
}

void TestConfigDialog::lostLinkIsReported()
{
    ConnectedWindow connected;
    QVERIFY(connected.connect({"--device", "vkt"}));
    ConfigDialog dialog(&connected.window.remoteDevice);
    QVERIFY(setField(dialog, "timeout", 44));
    QVERIFY(setField(dialog, "deviceName", "Cell9"));
    // Polls must not find the silence first (on a sanitizer build one is due while the
    // simulator takes the control line): the OK itself has to meet it.
    connected.window.remoteDevice.setPolling(false);
    QVERIFY(connected.sim.control("silent on"));
    const int sentBefore = connected.sim.commands().size();
    QElapsedTimer clock;
    clock.start();
    dialog.accept();
    // One unanswered wait on the terminal ends the link; nothing goes out after it.
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!connected.window.remoteDevice.isConnected());
    QStringList sent = connected.sim.commands().mid(sentBefore);
    sent.removeAll(QStringLiteral("/stateObject"));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].title, QStringLiteral("VKT Dashboard"));
    QCOMPARE(connected.answerer.boxes()[0].text,
             QStringLiteral("Connection lost: configuration not saved!"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestConfigDialog::settingsSurviveRestart_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<Edits>("edits");
    const Edits common{{"deviceName", "Line2"}, {"dhcp", 0},     {"timeout", 12},
                       {"ipAddress2", 9},       {"netMask1", 0}, {"gateway3", 9}};
    const Edits tool{
        {"englishUnits", true},    {"initialWeigh", true},     {"initialMode", 0},
        {"initialForce", 25.5},    {"payloadWeight", 3.5},     {"initialPosition", 1.25},
        {"posLimitPosition", 1.5}, {"negLimitPosition", 0.25}, {"softTouchEnabled", true},
        {"softTouchForce", 33.3},  {"softTouchPosition", 66.6}};
    const Edits fieldbus{{"nodeAddress", 42}, {"baudRate", 0}};
    QTest::newRow("vkt alone") << QStringList{"--device", "vkt"} << tool + common;
    QTest::newRow("hbn with tool") << QStringList{} << tool + common + fieldbus;
    QTest::newRow("hbn without tool") << QStringList{"--no-tool"} << common + fieldbus;
}

void TestConfigDialog::settingsSurviveRestart()
{
    QFETCH(QStringList, simArguments);
    QFETCH(Edits, edits);
    const QStringList arguments = simArguments + QStringList{"--config", writeConfig("{}")};
    const auto check = [&edits](QDialog &dialog) {
        for (const auto &edit : edits)
            QCOMPARE(fieldValue(dialog, edit.first), edit.second);
    };
    {
        ConnectedWindow connected;
        QVERIFY(connected.connect(arguments));
        ConfigDialog dialog(&connected.window.remoteDevice);
        for (const auto &edit : edits)
            QVERIFY2(setField(dialog, edit.first, edit.second), qPrintable(edit.first));
        dialog.accept();
        QVERIFY(connected.answerer.boxes().isEmpty());
        // The stroke comes in the units of the state record, which the next poll brings.
        QTRY_COMPARE(connected.window.remoteDevice.stateRecord().value("metricUnits").toInt(),
                     simArguments.contains("--no-tool") ? 1 : 0);
        ConfigDialog reopened(&connected.window.remoteDevice);
        check(reopened);
        if (QTest::currentTestFailed())
            return;
    }
    ConnectedWindow restarted;
    QVERIFY(restarted.connect(arguments));
    ConfigDialog dialog(&restarted.window.remoteDevice);
    check(dialog);
}

QTEST_MAIN(TestConfigDialog)
#include "tst_configdialog.moc"
