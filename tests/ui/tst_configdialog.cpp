#include "configdialog.h"
#include "configdialogdriver.h"
#include "connectedwindow.h"

#include <QDoubleSpinBox>
#include <QJsonDocument>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

using namespace ConfigDialogDriver;

namespace {

QJsonObject merged(QJsonObject base, const QJsonObject &patch)
{
    for (auto it = patch.begin(); it != patch.end(); ++it) {
        const QJsonValue old = base.value(it.key());
        base[it.key()] = old.isObject() && it->isObject()
                             ? QJsonValue(merged(old.toObject(), it->toObject()))
                             : it.value();
    }
    return base;
}

const QString longMac(10000, 'A');

// An HBN unit with its tool, every stored value inside its field's range, changed by `patch`. Its
// MAC address and bus type are texts no device should send.
ConfigSnapshot unitWith(const QByteArray &patch)
{
    QJsonObject unit = QJsonDocument::fromJson(R"({
        "connected": true, "hasDio": true, "stateMetric": true,
        "identity": {"deviceName": "Cell1"}, "toolIdentity": {"modelName": "VKT"},
        "vktRecord": {"metricUnits": 1, "initialMode": 1, "initialForce": 20,
                      "payloadWeight": 0, "initialPosition": 10, "posLimitPosition": 45,
                      "negLimitPosition": 2.5, "softTouchForce": 0.25, "softTouchPosition": 0.8},
        "maxForce": 250, "maxPosition": 50,
        "hbnRecord": {"net": {"timeout": 30, "ipAddress": "192.168.1.50",
                              "netMask": "255.255.255.0", "gateway": "192.168.1.1"},
                      "anybus": {"nodeId": 12, "baudRate": 2}},
        "moduleInfo": {"usesNodeId": 1, "usesBaudrate": 1, "moduleType": "<b>Bus</b>"}
    })")
                           .object();
    unit["macAddress"] = longMac;
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
    void pagesAndReadBack_data();
    void pagesAndReadBack();
    void sends_data();
    void sends();
    void unitsRoundTrip();
    void derivedLimits_data();
    void derivedLimits();
    void lamps();
    void editsNotSaved();
};

void TestConfigDialog::pagesAndReadBack_data()
{
    QTest::addColumn<QStringList>("simArguments"); // none: no device
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QStringList>("loads");
    QTest::addColumn<QString>("edits"); // "field=value,..."
    const QString common("deviceName=Line2,dhcp=0,timeout=12,ipAddress2=9,netMask1=0,gateway3=9");
    const QString tool("englishUnits=true,initialWeigh=true,initialMode=0,initialForce=25.5,"
                       "payloadWeight=3.5,initialPosition=1.25,posLimitPosition=1.5,"
                       "negLimitPosition=0.25,softTouchEnabled=true,softTouchForce=33.3,"
                       "softTouchPosition=66.6,");
    const QString fieldbus(",nodeAddress=42,baudRate=0");
    const QStringList vktLoads{"/deviceId", "/vkt/cfgObject", "/vkt/maxForce", "/vkt/maxPosition"};
    const QStringList hbnLoads{"/hbn/cfgObject", "/hbn/anybus/moduleInfo"};
    QTest::newRow("vkt alone") << QStringList{"--device", "vkt"}
                               << "general softTouch network about" << vktLoads << tool + common;
    QTest::newRow("hbn with tool")
        << QStringList{"--device", "hbn"} << "general softTouch network hbnIo about"
        << vktLoads + hbnLoads << tool + common + fieldbus;
    QTest::newRow("hbn without tool") << QStringList{"--no-tool"} << "network hbnIo about"
                                      << QStringList{"/deviceId"} + hbnLoads << common + fieldbus;
    QTest::newRow("no device") << QStringList() << "network about" << QStringList() << QString();
}

// The pages a unit has and what the dialog asks it for when it opens; OK without an edit sends
// nothing, not even a save; what OK sent is what the unit answers when the dialog opens again.
void TestConfigDialog::pagesAndReadBack()
{
    QFETCH(QStringList, simArguments);
    QFETCH(QString, edits);
    ConnectedWindow connected;
    RemoteDevice &device = connected.window.remoteDevice;
    QVERIFY(simArguments.isEmpty() || connected.connect(simArguments));
    connected.sentSince(connected.sim.commands().size()); // all sent so far seen
    const int from = connected.sim.commands().size();
    ConfigDialog dialog(&device);
    auto *tabs = dialog.findChild<QTabWidget *>("configurationTabs");
    QStringList pages;
    for (int i = 0; i < tabs->count(); ++i)
        pages << tabs->widget(i)->objectName().remove("Tab");
    QTEST(pages.join(' '), "pages");
    QCOMPARE(fieldValue(dialog, "deviceName").toString(),
             edits.isEmpty() ? "NONE" : device.deviceIdRecord().value("deviceName").toString());
    if (edits.isEmpty())
        return;
    // "/net/macAddress" comes last; sentSince() uses it as its own end marker.
    QTEST(connected.sentSince(from), "loads");
    QVERIFY(fieldValue(dialog, "macAddress").toString().startsWith("02:"));
    const int loaded = connected.sim.commands().size();
    dialog.accept();
    QCOMPARE(connected.sentSince(loaded), QStringList());
    ConfigDialog edited(&device);
    for (const QString &edit : edits.split(','))
        QVERIFY2(setField(edited, edit.section('=', 0, 0), edit.section('=', 1)), qPrintable(edit));
    edited.accept();
    QVERIFY(connected.answerer.boxes().isEmpty());
    // The stroke comes in the units of the state record, which the next poll brings.
    QTRY_COMPARE(device.stateRecord().value("metricUnits").toInt(),
                 simArguments.contains("--no-tool") ? 1 : 0);
    ConfigDialog reopened(&device);
    for (const QString &edit : edits.split(','))
        QCOMPARE(fieldValue(reopened, edit.section('=', 0, 0)).toString(), edit.section('=', 1));
}

void TestConfigDialog::sends_data()
{
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<QStringList>("marks"); // "field: stored value" of every marked field
    QTest::addColumn<QString>("edits");     // "field=value,..."
    QTest::addColumn<QStringList>("sent");
    // Edited last row first: the order sent is the table's, not the operator's; address parts
    // edited before DHCP was chosen are sent as well.
    QTest::newRow("every row, in the table's order")
        << QByteArray() << QStringList()
        << QString("baudRate=0,nodeAddress=5,gateway0=10,netMask3=128,ipAddress0=10,timeout=5,"
                   "dhcp=0,softTouchPosition=12.3,softTouchForce=42.5,softTouchEnabled=1,"
                   "negLimitPosition=1,posLimitPosition=40.5,initialPosition=12.3,"
                   "payloadWeight=1.25,initialForce=-30,initialMode=1,initialWeigh=1,"
                   "deviceName=Cell 4")
        << QString("/deviceName=Cell 4,/vkt/initialWeigh=1,/vkt/initialMode=0,"
                   "/vkt/initialForce=-30,/vkt/payloadWeight=1.25,/vkt/initialPosition=12.3,"
                   "/vkt/posLimitPosition=40.5,/vkt/negLimitPosition=1,/vkt/softTouchEnabled=1,"
                   "/vkt/softTouchForce=0.425,/vkt/softTouchPosition=0.123,/net/dhcp=1,"
                   "/net/timeout=5,/net/ipAddress=10.168.1.50,/net/netMask=255.255.255.128,"
                   "/net/gateway=10.168.1.1,/anybus/nodeId=5,/anybus/baudRate=1,(save)")
               .split(',');
    // The unit system first; the force keeps its share of the range exactly and is not sent,
    // rounded shares are; a stored weight beyond the range stays marked and is not sent.
    QTest::newRow("units switch")
        << QByteArray(R"({"vktRecord": {"payloadWeight": 1e9, "posLimitPosition": 1e9}})")
        << QStringList{"payloadWeight: 1000000000", "posLimitPosition: 1000000000"}
        << "deviceName=Cell5,englishUnits=1"
        << QString("/deviceName=Cell5,/vkt/metricUnits=0,/vkt/initialPosition=0.39,"
                   "/vkt/negLimitPosition=0.1,(save)")
               .split(',');
    // A stored value a field cannot show is marked, and never sent unless the operator edits it.
    const QByteArray outOfRange =
        R"({"hbnRecord": {"net": {"ipAddress": "300.1.2.3", "timeout": 100},
        "anybus": {"nodeId": 150}}, "maxForce": 1e308, "vktRecord": {"initialForce": 1e300,
        "initialMode": 2, "softTouchForce": 1.5}})";
    const QStringList marks{"ipAddress0: 300.1.2.3", "timeout: 100",   "nodeAddress: 150",
                            "initialForce: 1e+300",  "initialMode: 2", "softTouchForce: 1.5"};
    QTest::newRow("stored values out of range") << outOfRange << marks << "" << QStringList();
    QTest::newRow("stored values out of range, edited")
        << outOfRange << marks
        << "ipAddress0=10,timeout=98,nodeAddress=7,initialForce=100,initialMode=1,softTouchForce=50"
        << QString("/vkt/initialMode=0,/vkt/initialForce=100,/vkt/softTouchForce=0.5,"
                   "/net/timeout=98,/net/ipAddress=10.1.2.3,/anybus/nodeId=7,(save)")
               .split(',');
    QTest::newRow("no net object")
        << QByteArray(R"({"hasDio": false})") << QStringList{"timeout: none"} << "timeout=5"
        << QStringList{"/net/timeout=5", "(save)"};
}

void TestConfigDialog::sends()
{
    QFETCH(QByteArray, patch);
    QFETCH(QStringList, marks);
    QFETCH(QString, edits);
    RecordingSink sink;
    ConfigDialog dialog(unitWith(patch), &sink);
    for (const QString &mark : marks)
        QCOMPARE(markOf(dialog, mark.section(": ", 0, 0)),
                 "Stored value: " + mark.section(": ", 1));
    for (const QString &edit : edits.split(',', Qt::SkipEmptyParts)) {
        const QString name = edit.section('=', 0, 0);
        QVERIFY2(setField(dialog, name, edit.section('=', 1)), qPrintable(name));
        QVERIFY(markOf(dialog, name).isEmpty() || name == "englishUnits");
    }
    dialog.accept();
    QTEST(sink.sent, "sent");
}

void TestConfigDialog::unitsRoundTrip()
{
    RecordingSink sink;
    ConfigDialog dialog(unitWith(R"({"maxPosition": 100})"), &sink);
    const auto shown = [&dialog](const QString &limit) {
        return fieldValue(dialog, limit + "Position").toString() + " at "
               + QString::number(dialog.findChild<QSlider *>(limit + "Slider")->value());
    };
    QVERIFY(setField(dialog, "posLimitPosition", 50.0));
    QCOMPARE(shown("posLimit"), "50 at 500");
    QVERIFY(setField(dialog, "englishUnits", true));
    QCOMPARE(shown("posLimit"), "1.97 at 196");
    // A click on the unit system already shown changes nothing.
    dialog.findChild<QAbstractButton *>("englishUnits")->click();
    QCOMPARE(shown("posLimit"), "1.97 at 196");
    QVERIFY(setField(dialog, "metricUnits", true));
    QCOMPARE(shown("posLimit"), "50 at 500");
    // A value typed in stays as typed although its slider position is truncated.
    QVERIFY(setField(dialog, "englishUnits", true));
    QVERIFY(setField(dialog, "negLimitPosition", 0.29));
    QCOMPARE(shown("negLimit"), "0.29 at 28");
    dialog.findChild<QSlider *>("negLimitSlider")->setValue(40);
    QCOMPARE(shown("negLimit"), "0.4 at 40");
}

void TestConfigDialog::derivedLimits_data()
{
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<double>("forceLimit");
    QTest::addColumn<double>("payloadLimit");
    QTest::addColumn<double>("positionLimit");
    QTest::addColumn<int>("sliderLimit");
    // The stroke comes in the unit system of the state, not of the record.
    QTest::newRow("metric") << QByteArray(R"({"maxForce": 100, "maxPosition": 4,
                                              "stateMetric": false})")
                            << 200.0 << 20.41 << 101.6 << 1016;
    QTest::newRow("english") << QByteArray(R"({"maxForce": 100, "maxPosition": 101.6,
                                               "vktRecord": {"metricUnits": 0}})")
                             << 200.0 << 199.6 << 4.0 << 400;
    QTest::newRow("huge rating") << QByteArray(R"({"maxForce": 1e308, "maxPosition": 1e308})")
                                 << 2e6 << 204081.63 << 1e5 << 1000000;
    QTest::newRow("negative or text rating")
        << QByteArray(R"({"maxForce": -250, "maxPosition": "50"})") << 0.0 << 0.0 << 0.0 << 0;
}

void TestConfigDialog::derivedLimits()
{
    QFETCH(QByteArray, patch);
    RecordingSink sink;
    ConfigDialog dialog(unitWith(patch), &sink);
    auto *force = dialog.findChild<QDoubleSpinBox *>("initialForce");
    QTEST(force->maximum(), "forceLimit");
    QCOMPARE(force->minimum(), -force->maximum());
    QTEST(dialog.findChild<QDoubleSpinBox *>("payloadWeight")->maximum(), "payloadLimit");
    QTEST(dialog.findChild<QDoubleSpinBox *>("posLimitPosition")->maximum(), "positionLimit");
    QTEST(dialog.findChild<QSlider *>("posLimitSlider")->maximum(), "sliderLimit");

    // The MAC address does not widen the dialog, and is fitted to the width its label has once
    // shown; markup is shown as text.
    QVERIFY2(dialog.sizeHint().width() < 1000, QByteArray::number(dialog.sizeHint().width()));
    dialog.findChild<QTabWidget *>()->setCurrentWidget(dialog.findChild<QWidget *>("networkTab"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *mac = dialog.findChild<QLabel *>("macAddress");
    QVERIFY(mac->text().endsWith(QChar(0x2026)));
    QVERIFY(QTextDocumentFragment::fromHtml(mac->toolTip())
                .toPlainText()
                .remove('\n')
                .startsWith(longMac.left(1000)));
    auto *busType = dialog.findChild<QLabel *>("busType");
    QVERIFY(busType->textFormat() == Qt::PlainText && busType->text() == "<b>Bus</b>");
}

// The lamps start from the last I/O word and follow it as it changes; WEIGH PAYLOAD is bit 8, so
// the whole integer counts. The limit field of the same slot name is not touched by the lamps.
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
            on << (lamp->styleSheet() == "background-color: #0F0;" ? lamp->objectName() : "");
        return on.filter("led");
    };
    QCOMPARE(lit(), QStringList({"ledCommand1", "ledCommand3", "ledWeighPayload"}));
    const double posLimit = fieldValue(dialog, "posLimitPosition").toDouble();
    QVERIFY(connected.sim.control(QStringLiteral("state dioValue %1").arg(0x1 | 0x40 | 0x80000)));
    QTRY_COMPARE(lit(), QStringList({"ledPosLimit", "ledCommand1", "ledCommandNeg"}));
    QCOMPARE(fieldValue(dialog, "posLimitPosition").toDouble(), posLimit);
}

// An edit made over a link lost under the dialog is sent but not saved, and said so. The firmware
// update is offered on a serial link only, and an edit made before it is not sent at all: the
// device is about to be flashed.
void TestConfigDialog::editsNotSaved()
{
    {
        ModalAnswerer answerer;
        RecordingSink sink;
        ConfigDialog overNetwork(unitWith({}), &sink);
        QVERIFY(overNetwork.findChild<QAbstractButton *>("updateFirmwareButton")->isHidden());
        QVERIFY(setField(overNetwork, "timeout", 44));
        sink.connected = false;
        overNetwork.accept();
        QCOMPARE(sink.sent, QStringList{"/net/timeout=44"});
        QVERIFY(answerer.boxes().size() == 1
                && answerer.boxes()[0].text == "Connection lost: configuration not saved!");
        QCOMPARE(overNetwork.result(), int(QDialog::Rejected));
    }
    RecordingSink sink;
    ConfigDialog dialog(unitWith(R"({"serialLink": true})"), &sink);
    auto *button = dialog.findChild<QAbstractButton *>("updateFirmwareButton");
    QVERIFY(setField(dialog, "timeout", 44));
    for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
        ModalAnswerer answerer{answer};
        QTimer::singleShot(0, button, &QAbstractButton::click);
        QTRY_COMPARE(answerer.boxes().size(), 1);
        QCOMPARE(sink.sent, answer == QMessageBox::Ok ? QStringList{"(firmware)"} : QStringList());
    }
}

QTEST_MAIN(TestConfigDialog)
#include "tst_configdialog.moc"
