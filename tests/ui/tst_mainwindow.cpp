#include "mainwindow.h"
#include "modalanswerer.h"
#include "simprocess.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString weighingErrorText = QStringLiteral(
        "<b>Error weighting payload!</b><br>Possible causes:<ul><li> Insufficient air "
        "pressure</li><li> Excess payload weight</li><li> Carriage position unstable</li></ul>");
const QString toolPresentStyle = QStringLiteral("background-color: #0C0");
const QString noToolStyle = QStringLiteral("background-color: #CC0");

// Everything the dashboard sent from `from` on, without the background state polls.
QStringList sentSince(const SimProcess &sim, int from)
{
    QStringList sent = sim.commands().mid(from);
    sent.removeAll(QStringLiteral("/stateObject"));
    return sent;
}

// Sends a query nobody else sends and waits for it in the trace, so every command the window
// sent before has been seen too. Returns the marker's index in the trace.
int syncTrace(MainWindow &window, SimProcess &sim)
{
    const int from = sim.commands().size();
    window.remoteDevice.sendCommand(QStringLiteral("/net/macAddress"));
    return sim.waitForCommand(QStringLiteral("/net/macAddress"), from);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void freshWindowShowsDisconnectedLook();
    void widthGoesTwiceToTheGaugeColumns();
    void connectAndDisconnect_data();
    void connectAndDisconnect();
    void payloadSequence_data();
    void payloadSequence();
    void weighingReportedByDevice();
    void toolLossDuringWeighing();
    void weighErrorShowsDeviceReply();
    void closingDuringWeighingShowsNoBox();
    void controlModeMovesFocus_data();
    void controlModeMovesFocus();
    void longPressSendsModeOnlyWhileConnected();
    void arrowKeysOnRelease_data();
    void arrowKeysOnRelease();
    void arrowKeyCommandReachesDevice();
};

void TestMainWindow::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void TestMainWindow::freshWindowShowsDisconnectedLook()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("VKT Dashboard"));
    QCOMPARE(window.size(), QSize(800, 423));
    QCOMPARE(window.minimumSize(), QSize(800, 400));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.palette().color(QPalette::Window), QColor("#222"));
    QVERIFY(window.autoFillBackground());

    QCOMPARE(window.connectionButton->text(), QStringLiteral("CONNECT"));
    QCOMPARE(window.connectionButton->styleSheet(), QString());
    QCOMPARE(window.toolTypeLabel->text(), QStringLiteral("NO TOOL"));
    QCOMPARE(window.toolTypeLabel->styleSheet(), QStringLiteral("background: yellow;"));
    QCOMPARE(window.payloadLabel->text(), QStringLiteral("Payload Weight"));
    QCOMPARE(window.payloadWeight->text(), QStringLiteral("UNKNOWN"));
    QCOMPARE(window.payloadWeight->styleSheet(),
             QStringLiteral("background-color:  #C00;color: white;"));
    QCOMPARE(window.weighPayloadButton->text(), QStringLiteral("Weigh Payload"));
    QCOMPARE(window.dashboardlabel->text(), QStringLiteral("VKT Dashboard"));

    QVERIFY(!window.fileOpenButton->isEnabled());
    QVERIFY(!window.fileSaveButton->isEnabled());
    QVERIFY(!window.consoleButton->isEnabled());
    QVERIFY(window.setupButton->isEnabled());
    QVERIFY(window.connectionButton->isEnabled());
    QVERIFY(window.weighPayloadButton->isEnabled());

    const auto buttons = window.findChildren<QAbstractButton *>();
    QVERIFY(buttons.size() >= 6);
    for (QAbstractButton *button : buttons)
        QVERIFY2(button->focusPolicy() == Qt::NoFocus, qPrintable(button->objectName()));
    for (QToolButton *button : {window.fileOpenButton, window.fileSaveButton,
                                window.consoleButton, window.setupButton})
        QVERIFY(!button->icon().isNull());

    // The payload frame keeps its own green-grey ground on the dark window.
    QCOMPARE(window.payloadframe->palette().color(QPalette::Window), QColor(142, 170, 137));
}

void TestMainWindow::widthGoesTwiceToTheGaugeColumns()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int force = window.forceGauge->width();
    const int accel = window.accelerationGauge->width();
    const int position = window.positionGauge->width();

    window.resize(1100, 423);
    QTRY_VERIFY(window.forceGauge->width() > force);
    const int forceGain = window.forceGauge->width() - force;
    const int accelGain = window.accelerationGauge->width() - accel;
    QVERIFY(accelGain > 0);
    QVERIFY(qAbs(forceGain - 2 * accelGain) <= 2);
    QVERIFY(qAbs(window.positionGauge->width() - position - forceGain) <= 1);
}

void TestMainWindow::connectAndDisconnect_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<bool>("tool");
    QTest::addColumn<bool>("weighEnabled");
    QTest::addColumn<double>("forceMaximum");
    QTest::addColumn<double>("positionMaximum");

    QTest::newRow("hbn with tool") << QStringList{"--device", "hbn"} << true << true << 250.0
                                   << 50.0;
    QTest::newRow("hbn without tool") << QStringList{"--device", "hbn", "--no-tool"} << false
                                      << false << 350.0 << 20.0;
    QTest::newRow("vkt alone, other rating")
            << QStringList{"--device", "vkt", "--max-force", "40", "--max-position", "1.5"}
            << true << true << 40.0 << 1.5;
}

void TestMainWindow::connectAndDisconnect()
{
    QFETCH(QStringList, simArguments);
    QFETCH(bool, tool);
    QFETCH(bool, weighEnabled);
    QFETCH(double, forceMaximum);
    QFETCH(double, positionMaximum);

    SimProcess sim;
    QVERIFY(sim.start(simArguments));
    ModalAnswerer answerer;
    MainWindow window;
    window.show();

    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(window.remoteDevice.isConnected());
    const QString deviceName =
            window.remoteDevice.deviceIdRecord().value(QStringLiteral("deviceName")).toString();
    QVERIFY(!deviceName.isEmpty());
    QCOMPARE(window.connectionButton->text(), deviceName);
    QCOMPARE(window.connectionButton->styleSheet(), toolPresentStyle);
    QVERIFY(window.fileOpenButton->isEnabled());
    QVERIFY(window.fileSaveButton->isEnabled());
    QVERIFY(window.consoleButton->isEnabled());
    QCOMPARE(window.weighPayloadButton->isEnabled(), weighEnabled);
    QCOMPARE(window.forceGauge->maximum, forceMaximum);
    QCOMPARE(window.positionGauge->maximum, positionMaximum);

    if (tool) {
        const QString model =
                window.remoteDevice.toolIdRecord().value(QStringLiteral("modelName")).toString();
        QVERIFY(!model.isEmpty());
        QCOMPARE(window.toolTypeLabel->text(), model);
        QCOMPARE(window.toolTypeLabel->styleSheet(), toolPresentStyle);
        QCOMPARE(window.forceGauge->unitText, QStringLiteral("N"));
        QCOMPARE(window.positionGauge->unitText, QStringLiteral("mm"));
        // Exactly one of the two command gauges takes commands.
        QVERIFY(window.forceGauge->commandFocus != window.positionGauge->commandFocus);
    } else {
        QCOMPARE(window.toolTypeLabel->text(), QStringLiteral("NONE"));
        QCOMPARE(window.toolTypeLabel->styleSheet(), noToolStyle);
    }

    // The connect dialog is not there yet: while connected the button just disconnects.
    QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    QVERIFY(!window.remoteDevice.isConnected());
    QCOMPARE(window.connectionButton->text(), QStringLiteral("CONNECT"));
    QCOMPARE(window.connectionButton->styleSheet(), QString());
    QVERIFY(!window.fileOpenButton->isEnabled());
    QVERIFY(!window.fileSaveButton->isEnabled());
    QVERIFY(!window.consoleButton->isEnabled());
    QCOMPARE(window.toolTypeLabel->text(), QStringLiteral("NONE"));
    QCOMPARE(window.toolTypeLabel->styleSheet(), noToolStyle);
    QCOMPARE(window.forceGauge->value, 0.0);
    QCOMPARE(window.forceGauge->commandValue, 0.0);
    QCOMPARE(window.positionGauge->value, 0.0);
    QCOMPARE(window.positionGauge->posLimit(), 0.0);
    QCOMPARE(window.positionGauge->negLimit(), 0.0);
    QCOMPARE(window.accelerationGauge->value, 0.0);
    QVERIFY(!window.forceGauge->commandFocus);
    QVERIFY(!window.positionGauge->commandFocus);
    QVERIFY(answerer.boxes().isEmpty());
}

void TestMainWindow::payloadSequence_data()
{
    QTest::addColumn<int>("metricUnits");
    QTest::addColumn<QList<double>>("weights");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("boxIcons");
    QTest::addColumn<bool>("saved");

    const int question = QMessageBox::Question;
    const int critical = QMessageBox::Critical;
    QTest::newRow("metric weighing, saved")
            << 1 << QList<double>{0, -1, 25.5} << QStringList{"UNKNOWN", "WEIGHING", "25.50 Kg"}
            << int(QMessageBox::Yes) << QList<int>{question} << true;
    QTest::newRow("english weighing, not saved")
            << 0 << QList<double>{0, -1, 25.5} << QStringList{"UNKNOWN", "WEIGHING", "25.5 Lb"}
            << int(QMessageBox::No) << QList<int>{question} << false;
    QTest::newRow("weighing fails") << 1 << QList<double>{-1, 0}
                                    << QStringList{"WEIGHING", "UNKNOWN"}
                                    << int(QMessageBox::Ok) << QList<int>{critical} << false;
    QTest::newRow("weight without weighing, rounded")
            << 1 << QList<double>{12.3456, 27.26} << QStringList{"12.35 Kg", "27.26 Kg"}
            << int(QMessageBox::Yes) << QList<int>{} << false;
    QTest::newRow("english rounding") << 0 << QList<double>{27.26} << QStringList{"27.3 Lb"}
                                      << int(QMessageBox::Yes) << QList<int>{} << false;
}

void TestMainWindow::payloadSequence()
{
    QFETCH(int, metricUnits);
    QFETCH(QList<double>, weights);
    QFETCH(QStringList, texts);
    QFETCH(int, answer);
    QFETCH(QList<int>, boxIcons);
    QFETCH(bool, saved);

    SimProcess sim;
    QVERIFY(sim.start({"--device", "vkt"}));
    ModalAnswerer answerer{QMessageBox::StandardButton(answer)};
    MainWindow window;
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(sim.control(QStringLiteral("state metricUnits %1").arg(metricUnits)));
    QTRY_COMPARE(window.remoteDevice.stateRecord().value("metricUnits").toInt(), metricUnits);
    const int from = sim.commands().size();

    for (int i = 0; i < weights.size(); ++i) {
        window.setPayloadWeight(weights[i]);
        QCOMPARE(window.payloadWeight->text(), texts[i]);
        // The weigh button rests while a weighing runs.
        QCOMPARE(window.weighPayloadButton->isEnabled(), weights[i] >= 0);
    }
    QCOMPARE(answerer.boxes().size(), boxIcons.size());
    for (int i = 0; i < boxIcons.size(); ++i) {
        const SeenBox &box = answerer.boxes()[i];
        QCOMPARE(int(box.icon), boxIcons[i]);
        QCOMPARE(box.title, QStringLiteral("VKT Dashboard"));
        QCOMPARE(box.parent, &window);
        if (box.icon == QMessageBox::Question) {
            QCOMPARE(box.text, QStringLiteral("Save new payload weight as default?"));
            QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box.defaultButton, QMessageBox::NoButton);
        } else {
            QCOMPARE(box.text, weighingErrorText);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
    }
    const QString style = window.payloadWeight->styleSheet();
    if (texts.last() == QLatin1String("UNKNOWN"))
        QCOMPARE(style, QStringLiteral("background-color: #C00; color: white;"));
    else
        QCOMPARE(style, QStringLiteral("background-color: #0C0; color: black;"));

    QVERIFY(syncTrace(window, sim) >= 0);
    QCOMPARE(sentSince(sim, from).contains(QStringLiteral("/saveConfig")), saved);
}

void TestMainWindow::weighingReportedByDevice()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "hbn"}));
    ModalAnswerer answerer{QMessageBox::Yes};
    MainWindow window;
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(sim.control(QStringLiteral("state metricUnits 1")));

    QVERIFY(sim.control(QStringLiteral("payload -1")));
    QTRY_COMPARE(window.payloadWeight->text(), QStringLiteral("WEIGHING"));
    QVERIFY(!window.weighPayloadButton->isEnabled());
    const int from = sim.commands().size();
    QVERIFY(sim.control(QStringLiteral("payload 25.5")));
    QTRY_COMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Save new payload weight as default?"));
    QCOMPARE(window.payloadWeight->text(), QStringLiteral("25.50 Kg"));
    QVERIFY(window.weighPayloadButton->isEnabled());
    QVERIFY(sim.waitForCommand(QStringLiteral("/saveConfig"), from) >= 0);
    // The unit with a tool stores the tool's configuration as well.
    QVERIFY(sim.waitForCommand(QStringLiteral("/vkt/saveConfig"), from) >= 0);
}

void TestMainWindow::toolLossDuringWeighing()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "hbn"}));
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(sim.control(QStringLiteral("payload -1")));
    QTRY_COMPARE(window.payloadWeight->text(), QStringLiteral("WEIGHING"));

    QVERIFY(sim.control(QStringLiteral("tool off")));
    QTRY_COMPARE(window.toolTypeLabel->text(), QStringLiteral("NONE"));
    QTRY_COMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes()[0].text, weighingErrorText);
    QCOMPARE(window.payloadWeight->text(), QStringLiteral("UNKNOWN"));
    QCOMPARE(window.forceGauge->unitText, QString());
    QCOMPARE(window.positionGauge->unitText, QString());
    // An HBN unit whose tool does not talk cannot weigh.
    QVERIFY(!window.weighPayloadButton->isEnabled());

    // The ended weighing is not reported a second time.
    QVERIFY(sim.control(QStringLiteral("payload 0")));
    QVERIFY(sim.control(QStringLiteral("tool on")));
    QTRY_COMPARE(window.toolTypeLabel->styleSheet(), toolPresentStyle);
    QVERIFY(window.weighPayloadButton->isEnabled());
    QCOMPARE(window.payloadWeight->text(), QStringLiteral("UNKNOWN"));
    QCOMPARE(answerer.boxes().size(), 1);
}

void TestMainWindow::weighErrorShowsDeviceReply()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "vkt", "--weigh-error"}));
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));

    QTest::mouseClick(window.weighPayloadButton, Qt::LeftButton);
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QVERIFY(answerer.boxes()[0].text.contains(QStringLiteral("Error")));
    QVERIFY(sim.commands().contains(QStringLiteral("/vkt/weighPayload")));
}

void TestMainWindow::closingDuringWeighingShowsNoBox()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "hbn"}));
    ModalAnswerer answerer;
    auto window = std::make_unique<MainWindow>();
    QVERIFY(window->remoteDevice.connectDevice(sim.address()));
    QVERIFY(sim.control(QStringLiteral("payload -1")));
    QTRY_COMPARE(window->payloadWeight->text(), QStringLiteral("WEIGHING"));

    QSignalSpy disconnected(&window->remoteDevice, &RemoteDevice::deviceDisconnect);
    window.reset();
    QCOMPARE(disconnected.size(), 1);
    QVERIFY(answerer.boxes().isEmpty());

    // Nor does the next window inherit the interrupted weighing.
    MainWindow next;
    next.setPayloadWeight(0);
    next.setPayloadWeight(12);
    QVERIFY(answerer.boxes().isEmpty());
}

void TestMainWindow::controlModeMovesFocus_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("forceFocus");
    QTest::addColumn<int>("softTouch");
    QTest::addColumn<QString>("forceHelp");
    QTest::addColumn<QString>("positionHelp");

    QTest::newRow("force with soft touch") << 5 << true << 4 << "CLICK to set Force"
                                           << "CLICK + HOLD for Position Mode";
    QTest::newRow("position") << 0 << false << 0 << "CLICK + HOLD for Force Mode"
                              << "CLICK to set Position";
    QTest::newRow("position with soft touch") << 4 << false << 4 << "CLICK + HOLD for Force Mode"
                                              << "CLICK to set Position";
}

void TestMainWindow::controlModeMovesFocus()
{
    QFETCH(int, mode);
    QFETCH(bool, forceFocus);
    QFETCH(int, softTouch);
    QFETCH(QString, forceHelp);
    QFETCH(QString, positionHelp);

    SimProcess sim;
    QVERIFY(sim.start({"--device", "vkt"}));
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    // Start from the opposite mode so that the change is seen.
    QVERIFY(sim.control(QStringLiteral("state controlMode %1").arg(forceFocus ? 0 : 1)));
    QTRY_COMPARE(window.forceGauge->commandFocus, !forceFocus);

    QVERIFY(sim.control(QStringLiteral("state controlMode %1").arg(mode)));
    QTRY_COMPARE(window.forceGauge->commandFocus, forceFocus);
    QCOMPARE(window.positionGauge->commandFocus, !forceFocus);
    QCOMPARE(window.forceGauge->softTouchActive(), softTouch);
    QCOMPARE(window.forceGaugeHelp->text(), forceHelp);
    QCOMPARE(window.positionGaugeHelp->text(), positionHelp);
}

void TestMainWindow::longPressSendsModeOnlyWhileConnected()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "vkt"}));
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));

    const int from = sim.commands().size();
    emit window.forceGauge->longPress();
    QVERIFY(sim.waitForCommand(QStringLiteral("/vkt/forceMode"), from) >= 0);
    emit window.positionGauge->longPress();
    QVERIFY(sim.waitForCommand(QStringLiteral("/vkt/positionMode"), from) >= 0);

    window.remoteDevice.disconnectDevice();
    emit window.forceGauge->longPress();
    emit window.positionGauge->longPress();
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(syncTrace(window, sim) >= 0);
    QCOMPARE(sim.commands().count(QStringLiteral("/vkt/forceMode")), 1);
    QCOMPARE(sim.commands().count(QStringLiteral("/vkt/positionMode")), 1);
}

void TestMainWindow::arrowKeysOnRelease_data()
{
    QTest::addColumn<QList<int>>("releases");
    QTest::addColumn<bool>("forceFocus");
    QTest::addColumn<bool>("positionFocus");
    QTest::addColumn<QList<double>>("forceCommands");
    QTest::addColumn<QList<double>>("positionCommands");

    QTest::newRow("left, up") << QList<int>{Qt::Key_Left, Qt::Key_Up} << true << false
                              << QList<double>{0.5} << QList<double>{};
    QTest::newRow("right, up, up, down")
            << QList<int>{Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down} << false << true
            << QList<double>{} << QList<double>{0.1, 0.2, 0.1};
    QTest::newRow("up without focus") << QList<int>{Qt::Key_Up, Qt::Key_Down} << false << false
                                      << QList<double>{} << QList<double>{};
    QTest::newRow("other keys") << QList<int>{Qt::Key_A, Qt::Key_Space, Qt::Key_Return}
                                << false << false << QList<double>{} << QList<double>{};
}

void TestMainWindow::arrowKeysOnRelease()
{
    QFETCH(QList<int>, releases);
    QFETCH(bool, forceFocus);
    QFETCH(bool, positionFocus);
    QFETCH(QList<double>, forceCommands);
    QFETCH(QList<double>, positionCommands);

    MainWindow window;
    QSignalSpy forceSpy(window.forceGauge, &ForceGauge::commandChanged);
    QSignalSpy positionSpy(window.positionGauge, &PositionGauge::commandChanged);

    for (int key : releases) {
        // A press alone does nothing; the release acts, and never reaches the base class.
        const int commandsBefore = forceSpy.size() + positionSpy.size();
        const bool focusBefore = window.forceGauge->commandFocus;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
        QCOMPARE(forceSpy.size() + positionSpy.size(), commandsBefore);
        QCOMPARE(window.forceGauge->commandFocus, focusBefore);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        release.ignore();
        QVERIFY(QApplication::sendEvent(&window, &release));
        QVERIFY(release.isAccepted());
    }
    QCOMPARE(window.forceGauge->commandFocus, forceFocus);
    QCOMPARE(window.positionGauge->commandFocus, positionFocus);
    QList<double> forceSeen;
    for (const QList<QVariant> &args : forceSpy)
        forceSeen << args.at(0).toDouble();
    QList<double> positionSeen;
    for (const QList<QVariant> &args : positionSpy)
        positionSeen << args.at(0).toDouble();
    QCOMPARE(forceSeen.size(), forceCommands.size());
    for (int i = 0; i < forceSeen.size(); ++i)
        QVERIFY(qFuzzyCompare(forceSeen[i], forceCommands[i]));
    QCOMPARE(positionSeen.size(), positionCommands.size());
    for (int i = 0; i < positionSeen.size(); ++i)
        QVERIFY(qFuzzyCompare(positionSeen[i], positionCommands[i]));
}

void TestMainWindow::arrowKeyCommandReachesDevice()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "vkt"}));
    ModalAnswerer answerer;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));

    QTest::keyRelease(&window, Qt::Key_Left);
    QVERIFY(window.forceGauge->commandFocus);
    const double expected = window.forceGauge->commandValue + window.forceGauge->commandStep;
    const int from = sim.commands().size();
    QTest::keyRelease(&window, Qt::Key_Up);
    QVERIFY(sim.waitForCommand(QStringLiteral("/vkt/commandForce=")
                                       + RemoteDevice::formatNumber(expected),
                               from)
            >= 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
