#include "configdialog.h"
#include "configdialogdriver.h"
#include "connectedwindow.h"

#include <QJsonDocument>
#include <QSlider>
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

static QJsonObject merged(QJsonObject base, const QJsonObject &patch)
{
    for (auto it = patch.begin(); it != patch.end(); ++it) {
        const QJsonValue old = base.value(it.key());
        base[it.key()] = old.isObject() && it->isObject()
                             ? QJsonValue(merged(old.toObject(), it->toObject()))
                             : it.value();
    }
    return base;
}

// An HBN unit with its tool, every stored value inside its field's range, changed by `patch`.
static ConfigSnapshot unitWith(const QByteArray &patch)
{
    const QJsonObject unit = QJsonDocument::fromJson(R"({
        "connected": true, "hasDio": true, "stateMetric": true,
        "identity": {"deviceName": "Cell1"}, "toolIdentity": {"modelName": "VKT"},
        "vktRecord": {"metricUnits": 1, "initialMode": 1, "initialForce": 20,
                      "payloadWeight": 0, "initialPosition": 10, "posLimitPosition": 45,
                      "negLimitPosition": 2.5, "softTouchForce": 0.25, "softTouchPosition": 0.8},
        "maxForce": 250, "maxPosition": 50,
        "hbnRecord": {"net": {"timeout": 30, "ipAddress": "192.168.1.50",
                              "netMask": "255.255.255.0", "gateway": "192.168.1.1"},
                      "anybus": {"nodeId": 12, "baudRate": 2}},
        "moduleInfo": {"usesNodeId": 1, "usesBaudrate": 1, "moduleType": "ANYBUS DeviceNet"}
    })")
                                 .object();
    return snapshotFrom(merged(unit, QJsonDocument::fromJson(patch).object()));
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
    void storedValueOutOfRange_data();
    void storedValueOutOfRange();
    void deviceTextsStayPlain();
    void lamps();
    void firmwareUpdate_data();
    void firmwareUpdate();
    void firmwareButtonHiddenOverNetwork();
    void lostLinkIsReported();
    void settingsReadBack_data();
    void settingsReadBack();

private:
};

void TestConfigDialog::initTestCase()
{
    Q_INIT_RESOURCE(resources);
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
    QCOMPARE(connected.sentSince(from).join(' '),
             QStringLiteral("/deviceName=Cell4 /vkt/initialWeigh=1 /vkt/initialMode=1 "
                            "/vkt/initialForce=-30 /vkt/payloadWeight=1.25 "
                            "/vkt/initialPosition=12.3 /vkt/posLimitPosition=40.5 "
                            "/vkt/negLimitPosition=1 /vkt/softTouchEnabled=1 "
                            "/vkt/softTouchForce=0.425 /vkt/softTouchPosition=0.123 /net/dhcp=1 "
                            "/net/timeout=5 /net/ipAddress=10.168.1.50 "
                            "/net/netMask=255.255.255.128 /net/gateway=10.168.1.1 /anybus/nodeId=5 "
                            "/anybus/baudRate=1 /saveConfig /vkt/saveConfig"));
}

void TestConfigDialog::unitsSwitchGoesFirst()
{
    RecordingSink sink;
    // A stored weight beyond the range stays marked through the switch and is not sent.
    ConfigDialog dialog(unitWith(R"({"vktRecord": {"payloadWeight": 1e9}})"), &sink);
    QVERIFY(setField(dialog, "deviceName", "Cell5"));
    QVERIFY(setField(dialog, "englishUnits", true));
    QVERIFY(setField(dialog, "posLimitPosition", 1.5));
    dialog.accept();
    // The force keeps its share of the range exactly and is not sent; rounded shares are.
    QCOMPARE(sink.sent,
             QStringList({"/deviceName=Cell5", "/vkt/metricUnits=0", "/vkt/initialPosition=0.39",
                          "/vkt/posLimitPosition=1.5", "/vkt/negLimitPosition=0.1", "(save)"}));
}

void TestConfigDialog::unitsRoundTrip()
{
    RecordingSink sink;
    ConfigDialog dialog(unitWith(R"({"maxPosition": 100})"), &sink);
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
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<QString>("forceSuffix");
    QTest::addColumn<double>("forceLimit");
    QTest::addColumn<double>("payloadLimit");
    QTest::addColumn<double>("positionLimit");
    QTest::addColumn<int>("sliderLimit");
    // The stroke comes in the unit system of the state, not of the record.
    QTest::newRow("metric") << QByteArray(R"({"maxForce": 100, "maxPosition": 4,
                                              "stateMetric": false})")
                            << " N" << 200.0 << 20.41 << 101.6 << 1016;
    QTest::newRow("english") << QByteArray(R"({"maxForce": 100, "maxPosition": 101.6,
                                               "vktRecord": {"metricUnits": 0}})")
                             << " Lb" << 200.0 << 199.6 << 4.0 << 400;
    QTest::newRow("huge rating") << QByteArray(R"({"maxForce": 1e308, "maxPosition": 1e308})")
                                 << " N" << 2e6 << 204081.63 << 1e5 << 1000000;
    QTest::newRow("negative or text rating")
        << QByteArray(R"({"maxForce": -250, "maxPosition": "50"})") << " N" << 0.0 << 0.0 << 0.0
        << 0;
}

void TestConfigDialog::derivedLimits()
{
    QFETCH(QByteArray, patch);
    RecordingSink sink;
    ConfigDialog dialog(unitWith(patch), &sink);
    auto *force = dialog.findChild<QDoubleSpinBox *>("initialForce");
    QTEST(force->suffix(), "forceSuffix");
    QTEST(force->maximum(), "forceLimit");
    QCOMPARE(force->minimum(), -force->maximum());
    QTEST(dialog.findChild<QDoubleSpinBox *>("payloadWeight")->maximum(), "payloadLimit");
    QTEST(dialog.findChild<QDoubleSpinBox *>("posLimitPosition")->maximum(), "positionLimit");
    QTEST(dialog.findChild<QSlider *>("posLimitSlider")->maximum(), "sliderLimit");
}

// A stored value a field cannot show is marked, never sent unless the operator edits it.
void TestConfigDialog::storedValueOutOfRange_data()
{
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QVariant>("edit");
    QTest::addColumn<QString>("sent");
    const auto row = [](const char *name, const QByteArray &patch, const char *field,
                        const char *stored, const QVariant &edit, const char *sent) {
        QTest::newRow(name) << patch << QString(field) << QString(stored) << edit << QString(sent);
    };
    const auto net = [](const char *members) {
        return QByteArray(R"({"hbnRecord": {"net": {)") + members + "}}}";
    };
    row("address", net(R"("ipAddress": "300.1.2.3")"), "ipAddress0", "300.1.2.3", 10,
        "/net/ipAddress=10.1.2.3");
    row("mask", net(R"("netMask": "-1.255.0.0")"), "netMask0", "-1.255.0.0", 255,
        "/net/netMask=255.255.0.0");
    row("timeout 0", net(R"("timeout": 0)"), "timeout", "0", 5, "/net/timeout=5");
    row("timeout 100", net(R"("timeout": 100)"), "timeout", "100", 98, "/net/timeout=98");
    row("no net object", R"({"hasDio": false})", "timeout", "none", 5, "/net/timeout=5");
    row("node id 150", R"({"hbnRecord": {"anybus": {"nodeId": 150}}})", "nodeAddress", "150", 7,
        "/anybus/nodeId=7");
    row("huge rating", R"({"maxForce": 1e308, "vktRecord": {"initialForce": 1e300}})",
        "initialForce", "1e+300", 100.0, "/vkt/initialForce=100");
    row("initial mode 2", R"({"vktRecord": {"initialMode": 2}})", "initialMode", "2", 1,
        "/vkt/initialMode=0");
    row("soft touch above 1", R"({"vktRecord": {"softTouchForce": 1.5}})", "softTouchForce", "1.5",
        50.0, "/vkt/softTouchForce=0.5");
}

void TestConfigDialog::storedValueOutOfRange()
{
    QFETCH(QByteArray, patch);
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(QVariant, edit);
    QFETCH(QString, sent);
    RecordingSink sink;
    ConfigDialog dialog(unitWith(patch), &sink);
    QCOMPARE(markOf(dialog, field), "Stored value: " + stored);
    // OK without an edit sends nothing, not even a save.
    dialog.accept();
    QCOMPARE(sink.sent, QStringList());
    QVERIFY(setField(dialog, field, edit));
    QCOMPARE(markOf(dialog, field), QString());
    dialog.accept();
    QCOMPARE(sink.sent, QStringList({sent, "(save)"}));
}

// A MAC address of 10,000 characters does not widen the dialog; markup is shown as text.
void TestConfigDialog::deviceTextsStayPlain()
{
    const QString mac(10000, QLatin1Char('A'));
    RecordingSink sink;
    ConfigDialog dialog(unitWith(R"({"macAddress": ")" + mac.toLatin1()
                                 + R"(", "moduleInfo": {"moduleType": "<b>Bus</b>"}})"),
                        &sink);
    QVERIFY2(dialog.sizeHint().width() < 1000,
             qPrintable(QString::number(dialog.sizeHint().width())));
    // Texts are fitted to the width a label has once it is shown.
    dialog.findChild<QTabWidget *>("configurationTabs")
        ->setCurrentWidget(dialog.findChild<QWidget *>("networkTab"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *label = dialog.findChild<QLabel *>("macAddress");
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QVERIFY(QTextDocumentFragment::fromHtml(label->toolTip())
                .toPlainText()
                .remove('\n')
                .startsWith(mac.left(1000)));
    auto *busType = dialog.findChild<QLabel *>("busType");
    QCOMPARE(busType->textFormat(), Qt::PlainText);
    QCOMPARE(busType->text(), QStringLiteral("<b>Bus</b>"));
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
    ModalAnswerer answerer;
    RecordingSink sink;
    ConfigDialog dialog(unitWith({}), &sink);
    QVERIFY(setField(dialog, "timeout", 44));
    sink.connected = false;
    dialog.accept();
    QCOMPARE(sink.sent, QStringList{"/net/timeout=44"});
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].title, QStringLiteral("VKT Dashboard"));
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Connection lost: configuration not saved!"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestConfigDialog::settingsReadBack_data()
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

// What OK sent is what the unit answers when the dialog opens again.
void TestConfigDialog::settingsReadBack()
{
    QFETCH(QStringList, simArguments);
    QFETCH(Edits, edits);
    ConnectedWindow connected;
    QVERIFY(connected.connect(simArguments));
    ConfigDialog dialog(&connected.window.remoteDevice);
    for (const auto &edit : edits)
        QVERIFY2(setField(dialog, edit.first, edit.second), qPrintable(edit.first));
    dialog.accept();
    QVERIFY(connected.answerer.boxes().isEmpty());
    // The stroke comes in the units of the state record, which the next poll brings.
    QTRY_COMPARE(connected.window.remoteDevice.stateRecord().value("metricUnits").toInt(),
                 simArguments.contains("--no-tool") ? 1 : 0);
    ConfigDialog reopened(&connected.window.remoteDevice);
    for (const auto &edit : edits)
        QCOMPARE(fieldValue(reopened, edit.first), edit.second);
}

QTEST_MAIN(TestConfigDialog)
#include "tst_configdialog.moc"
