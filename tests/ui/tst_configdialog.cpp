#include "configdialog.h"
#include "configdialogdriver.h"
#include "connectedwindow.h"

#include <QJsonDocument>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

using namespace ConfigDialogDriver;

using Edits = QList<QPair<QString, QVariant>>;
Q_DECLARE_METATYPE(Edits)

namespace {

// The simulator reports what it received a little later: the count once everything sent so
// far has been seen.
int mark(ConnectedWindow &connected)
{
    connected.sentSince(connected.sim.commands().size());
    return connected.sim.commands().size();
}

QJsonObject merged(QJsonObject base, const QJsonObject &patch)
{
    for (auto it = patch.begin(); it != patch.end(); ++it) {
        const QJsonValue old = base.value(it.key());
        base[it.key()] =
            old.isObject() && it->isObject() ? merged(old.toObject(), it->toObject()) : it.value();
    }
    return base;
}

// An HBN unit with its tool, every stored value inside its field's range, changed by `patch`.
ConfigSnapshot unitWith(const QByteArray &patch)
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

} // namespace

// The configuration dialog: which pages a unit gets, what its fields show, and exactly which
// set commands its OK sends, against the simulated device or a recording sink.
class TestConfigDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
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
    void lostLinkIsReported();
    void settingsReadBack_data();
    void settingsReadBack();
};

void TestConfigDialog::pagesPerUnit_data()
{
    QTest::addColumn<QStringList>("simArguments"); // none: no device
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("loads");
    QTest::newRow("vkt alone") << QStringList{"--device", "vkt"}
                               << QStringList{"generalTab", "softTouchTab", "networkTab",
                                              "aboutTab"}
                               << QStringList{"/deviceId", "/vkt/cfgObject", "/vkt/maxForce",
                                              "/vkt/maxPosition"};
    QTest::newRow("hbn with tool")
        << QStringList{"--device", "hbn"}
        << QStringList{"generalTab", "softTouchTab", "networkTab", "hbnIoTab", "aboutTab"}
        << QStringList{"/deviceId",        "/vkt/cfgObject", "/vkt/maxForce",
                       "/vkt/maxPosition", "/hbn/cfgObject", "/hbn/anybus/moduleInfo"};
    QTest::newRow("hbn without tool")
        << QStringList{"--no-tool"} << QStringList{"networkTab", "hbnIoTab", "aboutTab"}
        << QStringList{"/deviceId", "/hbn/cfgObject", "/hbn/anybus/moduleInfo"};
    QTest::newRow("no device") << QStringList() << QStringList{"networkTab", "aboutTab"}
                               << QStringList();
}

void TestConfigDialog::pagesPerUnit()
{
    QFETCH(QStringList, simArguments);
    QFETCH(QStringList, loads);
    ConnectedWindow connected;
    if (!simArguments.isEmpty())
        QVERIFY(connected.connect(simArguments));
    const int from = mark(connected);
    ConfigDialog dialog(&connected.window.remoteDevice);
    auto *tabs = dialog.findChild<QTabWidget *>("configurationTabs");
    QStringList pages;
    for (int i = 0; i < tabs->count(); ++i)
        pages << tabs->widget(i)->objectName();
    QTEST(pages, "pages");
    QCOMPARE(fieldValue(dialog, "deviceName").toString(),
             simArguments.isEmpty()
                 ? "NONE"
                 : connected.window.remoteDevice.deviceIdRecord().value("deviceName").toString());
    if (simArguments.isEmpty())
        return;
    // "/net/macAddress" comes last; the check below uses it as its own end marker.
    QCOMPARE(connected.sentSince(from), loads);
    QVERIFY(fieldValue(dialog, "macAddress").toString().startsWith("02:"));
    // OK without an edit sends nothing, not even a save.
    const int loaded = connected.sim.commands().size();
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(connected.sentSince(loaded), QStringList());
    QVERIFY(connected.answerer.boxes().isEmpty());
}

void TestConfigDialog::allRowsInTableOrder()
{
    RecordingSink sink;
    ConfigDialog dialog(unitWith({}), &sink);
    // Edited last row first: the order sent is the table's, not the operator's; the name is
    // sent without its white space, and address parts edited before DHCP was chosen too.
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
                      {"initialMode", 1},
                      {"initialWeigh", true},
                      {"deviceName", "Cell 4"}};
    for (const auto &edit : edits)
        QVERIFY2(setField(dialog, edit.first, edit.second), qPrintable(edit.first));
    QVERIFY(!dialog.findChild<QWidget *>("ipAddress0")->isEnabled());
    dialog.accept();
    QCOMPARE(sink.sent.join(' '),
             QStringLiteral("/deviceName=Cell 4 /vkt/initialWeigh=1 /vkt/initialMode=0 "
                            "/vkt/initialForce=-30 /vkt/payloadWeight=1.25 "
                            "/vkt/initialPosition=12.3 /vkt/posLimitPosition=40.5 "
                            "/vkt/negLimitPosition=1 /vkt/softTouchEnabled=1 "
                            "/vkt/softTouchForce=0.425 /vkt/softTouchPosition=0.123 /net/dhcp=1 "
                            "/net/timeout=5 /net/ipAddress=10.168.1.50 "
                            "/net/netMask=255.255.255.128 /net/gateway=10.168.1.1 /anybus/nodeId=5 "
                            "/anybus/baudRate=1 (save)"));
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
    const auto shown = [&] {
        return QPair<double, int>(fieldValue(dialog, "posLimitPosition").toDouble(),
                                  slider->value());
    };
    QVERIFY(setField(dialog, "posLimitPosition", 50.0));
    QCOMPARE(shown(), qMakePair(50.0, 500));
    QVERIFY(setField(dialog, "englishUnits", true));
    QCOMPARE(shown(), qMakePair(1.97, 196));
    // A click on the unit system already shown changes nothing.
    dialog.findChild<QAbstractButton *>("englishUnits")->click();
    QCOMPARE(shown(), qMakePair(1.97, 196));
    QVERIFY(setField(dialog, "metricUnits", true));
    QCOMPARE(shown(), qMakePair(50.0, 500));
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

// A stored value a field cannot show is marked, and never sent unless the operator edits it.
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
    row("address", R"({"hbnRecord": {"net": {"ipAddress": "300.1.2.3"}}})", "ipAddress0",
        "300.1.2.3", 10, "/net/ipAddress=10.1.2.3");
    row("timeout 100", R"({"hbnRecord": {"net": {"timeout": 100}}})", "timeout", "100", 98,
        "/net/timeout=98");
    row("no net object", R"({"hasDio": false})", "timeout", "none", 5, "/net/timeout=5");
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
    const QString mac(10000, 'A');
    RecordingSink sink;
    ConfigDialog dialog(unitWith(R"({"macAddress": ")" + mac.toLatin1()
                                 + R"(", "moduleInfo": {"moduleType": "<b>Bus</b>"}})"),
                        &sink);
    QVERIFY2(dialog.sizeHint().width() < 1000, QByteArray::number(dialog.sizeHint().width()));
    // Texts are fitted to the width a label has once it is shown.
    dialog.findChild<QTabWidget *>()->setCurrentWidget(dialog.findChild<QWidget *>("networkTab"));
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

// The lamps follow the I/O word as it changes; WEIGH PAYLOAD is bit 8, so the whole integer
// counts.
void TestConfigDialog::lamps()
{
    ConnectedWindow connected;
    QVERIFY(connected.connect({}));
    QVERIFY(connected.sim.control(QStringLiteral("state dioValue %1").arg(0x5 | 0x100)));
    QTRY_COMPARE(connected.window.remoteDevice.dioValue(), quint32(0x5 | 0x100));
    ConfigDialog dialog(&connected.window.remoteDevice);
    const auto lit = [&dialog] {
        QStringList on;
        for (QLabel *lamp : dialog.findChildren<QLabel *>(QRegularExpression("^led")))
            if (lamp->styleSheet() == "background-color: #0F0;")
                on << lamp->objectName();
        on.sort();
        return on;
    };
    QCOMPARE(lit(), QStringList({"ledCommand1", "ledCommand3", "ledWeighPayload"}));
    const double posLimit = fieldValue(dialog, "posLimitPosition").toDouble();
    QVERIFY(connected.sim.control(
        QStringLiteral("state dioValue %1").arg(0x1 | 0x40 | 0x80000 | 0x400000)));
    QTRY_COMPARE(lit(),
                 QStringList({"ledCommand1", "ledCommandNeg", "ledPosLimit", "ledWeightOk"}));
    // The limit field of the same slot name is not touched by the lamp signal.
    QCOMPARE(fieldValue(dialog, "posLimitPosition").toDouble(), posLimit);
}

void TestConfigDialog::firmwareUpdate_data()
{
    QTest::addColumn<bool>("serialLink");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("confirmed") << true << int(QMessageBox::Ok) << QStringList{"(firmware)"};
    QTest::newRow("cancelled") << true << int(QMessageBox::Cancel) << QStringList{};
    QTest::newRow("no button over the network") << false << int(QMessageBox::Ok) << QStringList{};
}

// An edit made before the update is not sent: the device is about to be flashed.
void TestConfigDialog::firmwareUpdate()
{
    QFETCH(bool, serialLink);
    QFETCH(int, answer);
    ModalAnswerer answerer{QMessageBox::StandardButton(answer)};
    RecordingSink sink;
    ConfigDialog dialog(unitWith(serialLink ? R"({"serialLink": true})" : "{}"), &sink);
    auto *button = dialog.findChild<QAbstractButton *>("updateFirmwareButton");
    QCOMPARE(button->isHidden(), !serialLink);
    QVERIFY(setField(dialog, "timeout", 44));
    if (serialLink)
        QTimer::singleShot(0, button, &QAbstractButton::click);
    QTRY_COMPARE(answerer.boxes().size(), int(serialLink));
    QTEST(sink.sent, "sent");
    if (serialLink)
        QCOMPARE(answerer.boxes()[0].text,
                 QStringLiteral("<b>Use the following steps to upgrade device firmware:</b>"));
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
