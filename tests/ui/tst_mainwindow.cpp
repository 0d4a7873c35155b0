#include "commandlineinfo.h"
#include "configdialog.h"
#include "configsnapshot.h"
#include "connectdialog.h"
#include "connectedwindow.h"
#include "privatenetwork.h"
#include "programtranslation.h"
#include "scriptedpeer.h"
#include "startupsequence.h"
#include "wireformat.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <vector>

namespace {

const QString weighingErrorText = QStringLiteral(
    "<b>Error weighting payload!</b><br>Possible causes:<ul><li> Insufficient air "
    "pressure</li><li> Excess payload weight</li><li> Carriage position unstable</li></ul>");
const QString saveQuestion = QStringLiteral("Save new payload weight as default?");

// What the window shows of the link: button text, tool label, file buttons, payload.
QStringList linkLook(const MainWindow &window)
{
    const bool files = window.fileOpenButton->isEnabled() && window.fileSaveButton->isEnabled()
                       && window.consoleButton->isEnabled();
    return {window.connectionButton->text(), window.toolTypeLabel->text(),
            files ? "files" : "no files", window.payloadWeight->text()};
}

// The shown texts below `top` that do not fit their label or button: cut off, or elided ("…").
QStringList clippedTexts(const QWidget *top)
{
    QStringList clipped;
    const auto check = [&clipped](const QWidget *widget, const QString &text, int room) {
        const bool cut =
            text.contains(QChar(0x2026)) || widget->fontMetrics().horizontalAdvance(text) > room;
        if (widget->isVisible() && cut)
            clipped << widget->objectName() + ": " + text;
    };
    for (const QLabel *label : top->findChildren<QLabel *>()) {
        // Wrapped and rich texts are laid out by the label itself.
        if (!label->wordWrap() && !Qt::mightBeRichText(label->text()))
            check(label, label->text(), label->contentsRect().width() - 2 * label->margin());
    }
    for (const QPushButton *button : top->findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const int room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width()
            - (button->icon().isNull() ? 0 : button->iconSize().width());
        check(button, QString(button->text()).remove(QLatin1Char('&')), room);
    }
    return clipped;
}

void clickRow(ConnectDialog &dialog, int row, bool twice = false)
{
    const QPoint at =
        dialog.deviceList->visualItemRect(dialog.deviceList->topLevelItem(row)).center();
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {}, at);
    if (twice) // as the window system delivers a double click: a click, then the double click
        QTest::mouseDClick(dialog.deviceList->viewport(), Qt::LeftButton, {}, at);
}

CommandLineInfo::Request requestOf(const QStringList &arguments)
{
    std::vector<QByteArray> storage{QByteArrayLiteral("vkt-dashboard")};
    for (const QString &argument : arguments)
        storage.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return CommandLineInfo::requested(int(storage.size()), argv.data());
}

bool okEnabled(const ConnectDialog &dialog)
{
    return dialog.buttonBox->button(QDialogButtonBox::Ok)->isEnabled();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void connectAndDisconnect_data();
    void connectAndDisconnect();
    void weighing_data();
    void weighing();
    void hostileDevice_data();
    void hostileDevice();
    void titleRowKeys();
    void deviceListed();
    void chosenDevice_data();
    void chosenDevice();
    void textsFit_data();
    void textsFit();
    void helpAndVersion();
};

void TestMainWindow::connectAndDisconnect_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<bool>("tool");
    QTest::addColumn<double>("forceMaximum");
    QTest::addColumn<double>("positionMaximum");
    QTest::newRow("hbn with tool") << QStringList{"--device", "hbn"} << true << 250.0 << 50.0;
    QTest::newRow("hbn without tool")
        << QStringList{"--device", "hbn", "--no-tool"} << false << 350.0 << 20.0;
    QTest::newRow("vkt alone, other rating")
        << QStringList{"--device", "vkt", "--max-force", "40", "--max-position", "1.5"} << true
        << 40.0 << 1.5;
}

void TestMainWindow::connectAndDisconnect()
{
    QFETCH(QStringList, simArguments);
    QFETCH(bool, tool);
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connected.connect(simArguments));
    const QString model = tool ? window.remoteDevice.toolIdRecord().value("modelName").toString()
                               : QStringLiteral("NONE");
    QCOMPARE(linkLook(window),
             (QStringList{window.remoteDevice.deviceIdRecord().value("deviceName").toString(),
                          model, "files", "UNKNOWN"}));
    QCOMPARE(window.weighPayloadButton->isEnabled(), tool);
    QTEST(window.forceGauge->maximum, "forceMaximum");
    QTEST(window.positionGauge->maximum, "positionMaximum");
    QVERIFY(connected.sim.control("state controlMode 0"));
    QTRY_VERIFY(window.positionGauge->commandFocus);
    // Force control (bit 0) with soft touch (bit 2) moves the command focus.
    QVERIFY(connected.sim.control("state controlMode 5"));
    QTRY_VERIFY(window.forceGauge->commandFocus && !window.positionGauge->commandFocus);
    QCOMPARE(window.forceGauge->softTouchActive(), 4);

    // Long presses ask for a mode; arrow keys act on release (left and right choose the gauge, up
    // and down step its command) and are not passed on; other keys do nothing.
    int from = connected.sim.commands().size();
    emit window.forceGauge->longPress();
    emit window.positionGauge->longPress();
    QStringList announced{"/vkt/forceMode", "/vkt/positionMode"};
    connect(window.forceGauge, &ForceGauge::commandChanged, this,
            [&](double v) { announced << "/vkt/commandForce=" + WireFormat::formatNumber(v); });
    connect(window.positionGauge, &PositionGauge::commandChanged, this,
            [&](double v) { announced << "/vkt/commandPosition=" + WireFormat::formatNumber(v); });
    for (int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_A, Qt::Key_Space, Qt::Key_Right, Qt::Key_Up,
                    Qt::Key_Up, Qt::Key_Down}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        const int before = announced.size();
        QApplication::sendEvent(&window, &press);
        QCOMPARE(announced.size(), before);
        release.ignore();
        QApplication::sendEvent(&window, &release);
        QVERIFY(release.isAccepted());
    }
    QCOMPARE(announced.mid(2).filter("commandForce").size(), 1);
    QCOMPARE(announced.mid(3).filter("commandPosition").size(), 3);
    QCOMPARE(connected.sentSince(from).filter(QRegularExpression("Mode|command")), announced);

    QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    QCOMPARE(linkLook(window), (QStringList{"CONNECT", "NONE", "no files", "UNKNOWN"}));
    QVERIFY(window.forceGauge->value == 0 && window.positionGauge->posLimit() == 0);
    QVERIFY(!window.forceGauge->commandFocus && !window.positionGauge->commandFocus);
    QVERIFY(connected.answerer.boxes().isEmpty());
    // Long presses while disconnected are not sent later.
    emit window.forceGauge->longPress();
    emit window.positionGauge->longPress();
    from = connected.sim.commands().size();
    QVERIFY(window.remoteDevice.connectDevice(connected.sim.address()));
    QVERIFY(connected.sentSince(from).filter("Mode").isEmpty());
}

void TestMainWindow::weighing_data()
{
    QTest::addColumn<int>("metricUnits");
    QTest::addColumn<QString>("end"); // the weight the weighing ends with, or the tool gone
    QTest::addColumn<QString>("box"); // held open for a second, then answered Yes
    QTest::addColumn<QString>("shown");
    QTest::newRow("metric") << 1 << "payload 25.5" << saveQuestion << "25.50 Kg";
    QTest::newRow("english") << 0 << "payload 25.5" << saveQuestion << "25.5 Lb";
    QTest::newRow("weighing fails") << 1 << "payload 0" << weighingErrorText << "UNKNOWN";
    // Bit 18 of the I/O word going off asks for the tool, which is gone.
    QTest::newRow("tool lost") << 1 << "tool off" << weighingErrorText << "UNKNOWN";
}

// A weighing runs from a negative weight to the next other one, which calls for a box: it opens
// once the poll that brought the weight has ended, so polls go on behind it. No weight outside a
// weighing calls for a box, a zero after a failed one included, nor does the tool coming back.
void TestMainWindow::weighing()
{
    QFETCH(int, metricUnits);
    QFETCH(QString, end);
    QFETCH(QString, box);
    SimProcess sim;
    MainWindow window;
    QStringList seen; // each box's text as it opens, then whether polls went on behind it
    int pollsAtOpen = 0;
    QElapsedTimer open;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const int polls = sim.commands().count("/stateObject");
        if (shown && !open.isValid()) {
            open.start();
            pollsAtOpen = polls;
            seen << shown->text() + (shown->parentWidget() == &window ? "" : " (no parent)");
        } else if (shown && open.hasExpired(1000)) {
            seen << (polls - pollsAtOpen >= 2 ? "polled" : "not polled");
            shown->button(QMessageBox::Yes) ? shown->button(QMessageBox::Yes)->click()
                                            : shown->reject();
            open.invalidate();
        }
    });
    watcher.start(20);
    QVERIFY(sim.start(SimProcess::serialOnly() + QStringList{"--device", "hbn"}));
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(sim.control(QStringLiteral("state metricUnits %1").arg(metricUnits)));
    QVERIFY(sim.control("payload -1"));
    QTRY_COMPARE(window.payloadWeight->text(), QStringLiteral("WEIGHING"));
    QVERIFY(!window.weighPayloadButton->isEnabled());
    const int from = sim.commands().size();
    QVERIFY(sim.control(end));
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, 5000);
    QTEST(window.payloadWeight->text(), "shown");
    QVERIFY(end != "tool off" || !window.weighPayloadButton->isEnabled()); // none to weigh with
    for (const char *control : {"payload 30", "payload 0", "tool on"}) {
        QVERIFY(sim.control(control));
        QVERIFY(sim.waitForCommand("/stateObject", sim.commands().size() + 1) >= 0);
    }
    QCOMPARE(seen, (QStringList{box, "polled"}));
    QCOMPARE(sim.commands().mid(from).contains("/saveConfig"), box == saveQuestion);
    QVERIFY(window.remoteDevice.isConnected());
    QTRY_VERIFY(window.weighPayloadButton->isEnabled());
}

void TestMainWindow::hostileDevice_data()
{
    QTest::addColumn<QByteArray>("path"); // which tells where the answer shows
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("shown"); // the whole text there, as a regular expression
    const QByteArray weighed(R"("<!-- Error --><font color=green>Weighing OK</font>")");
    QTest::newRow("tool name in HTML")
        << QByteArray("/vkt/deviceId")
        << QByteArray(R"({"modelName": "<h1>VKT</h1><img src=\":/vktdash.png\">"})")
        << QString("<h1>VKT</h1>.*");
    QTest::newRow("long device name with an ampersand")
        << QByteArray("/deviceId")
        << R"({"deviceName": "A&B)" + QByteArray(300, 'x') + R"(", "modelName": "HBN"})"
        << QString("A&&Bx+\u2026");
    QTest::newRow("weighing error in HTML")
        << QByteArray("/vkt/weighPayload") << weighed << QString(weighed.mid(1).chopped(1));
    QTest::newRow("payload of 309 digits")
        << QByteArray("/stateObject") << QByteArray(R"({"payloadWeight": 1e308})")
        << QString("OUT OF RANGE");
}

// What a device sends is shown as it is, as plain text, never widens the window, and a number
// no display can show is said to be out of range.
void TestMainWindow::hostileDevice()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, answer);
    QFETCH(QString, shown);
    ScriptedPeer peer;
    peer.setAnswer(path, answer);
    ModalAnswerer answerer;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.remoteDevice.connectDevice(peer.start(false)));
    if (path == "/vkt/weighPayload")
        QTest::mouseClick(window.weighPayloadButton, Qt::LeftButton);
    const auto seen = [&]() -> QString {
        if (path == "/vkt/deviceId")
            return window.toolTypeLabel->textFormat() == Qt::PlainText
                       ? window.toolTypeLabel->text()
                       : "rich text";
        if (path == "/vkt/weighPayload")
            return answerer.boxes().isEmpty() || answerer.boxes()[0].textFormat != Qt::PlainText
                       ? "no plain box"
                       : answerer.boxes()[0].text;
        return path == "/deviceId" ? window.connectionButton->text() : window.payloadWeight->text();
    };
    const QRegularExpression expected(QRegularExpression::anchoredPattern(shown));
    QTRY_VERIFY2(expected.match(seen()).hasMatch(), qPrintable(seen()));
    QApplication::processEvents(); // a layout grown by a text would resize the window now
    QCOMPARE(window.width(), 800);
}

// A title-row action's key acts on its press, though the window takes key releases for the
// gauges; its tool tip names the key.
void TestMainWindow::titleRowKeys()
{
    MainWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QVector<QPair<QToolButton *, QString>> keys{{window.fileOpenButton, "Ctrl+O"},
                                                      {window.fileSaveButton, "Ctrl+S"},
                                                      {window.consoleButton, "Ctrl+K"},
                                                      {window.setupButton, "Ctrl+,"},
                                                      {window.trendButton, "Ctrl+T"}};
    for (const auto &[button, key] : keys) {
        button->setEnabled(true);
        button->disconnect(&window); // the click alone, without the dialog it opens
        QSignalSpy clicked(button, &QToolButton::clicked);
        QTest::keySequence(&window, QKeySequence(key));
        QTRY_COMPARE(clicked.count(), 1);
        // Assistive technology reads the action's name, not the button's "...".
        const QString name = QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        QCOMPARE(button->toolTip(), QStringLiteral("%1 (%2)").arg(name, key));
    }
}

// A device is listed as one short line whatever a host calls itself (control characters written
// out, cut at 64); a click on it fills in its address and transport, a double click takes it.
void TestMainWindow::deviceListed()
{
    VKT_REQUIRE_PRIVATE_NETWORK();
    ConnectDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.searchIcon->movie()->state() == QMovie::Running && !okEnabled(dialog));
    const QJsonObject identity{{"deviceName", "HBN\n\x1b[2J" + QString(100, 'x')},
                               {"modelName", "M"}};
    emit dialog.discover.deviceDiscovered(identity, "network://10.0.0.9");
    dialog.onDeviceDiscovered({{"deviceName", "HBN-00031"}}, "usb://COM3");
    const QTreeWidgetItem *row = dialog.deviceList->topLevelItem(0);
    QCOMPARE(row->text(0) + row->text(1) + row->text(2),
             "HBN\\x0a\\x1b[2J" + QString(49, 'x') + QChar(0x2026) + "Mnetwork://10.0.0.9");
    QCOMPARE(dialog.deviceList->currentItem(), dialog.deviceList->topLevelItem(0));
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Select Device:"));
    QVERIFY(dialog.manualAddress->text().isEmpty() && !okEnabled(dialog));
    clickRow(dialog, 0);
    QCOMPARE(dialog.manualAddress->text(), QStringLiteral("10.0.0.9"));
    QVERIFY(dialog.interfaceSelect->currentText() == "network://" && okEnabled(dialog));
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("network://10.0.0.9"));
    clickRow(dialog, 1, true);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("usb://COM3"));
}

void TestMainWindow::chosenDevice_data()
{
    QTest::addColumn<QString>("start"); // the address it starts with, or "button": a click on
                                        // the button of a window connected elsewhere
    QTest::addColumn<QString>("box");
    const QString error = "Error connecting to \"usb:///nonexistent/ttyVKT\"";
    QTest::newRow("start-up, address that does not open") << "usb:///nonexistent/ttyVKT" << error;
    QTest::newRow("start-up, dialog cancelled") << QString() << QString();
    QTest::newRow("button, port that does not open")
        << "button" << error + "\nNo such file or directory";
}

// A start with an address tries that alone, without entering the main loop. Else the connect
// dialog opens on a window standing disconnected: shown at start-up, the earlier link ended first
// on the button. A port that does not open is said so, with the reason.
void TestMainWindow::chosenDevice()
{
    VKT_REQUIRE_PRIVATE_NETWORK();
    QFETCH(QString, start);
    QFETCH(QString, box);
    const bool atStartup = start != "button";
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(atStartup || connected.connect({}));
    int dialogs = 0;
    bool shownDisconnected = false;
    QPointer<QDialog> open;
    connected.answerer.setDialogHandler([&](QDialog *modal) {
        auto *dialog = qobject_cast<ConnectDialog *>(modal);
        shownDisconnected = window.isVisible() == atStartup && !window.remoteDevice.isConnected();
        ++dialogs;
        open = modal;
        if (!dialog || box.isEmpty())
            return modal->reject();
        dialog->interfaceSelect->setCurrentText("usb://");
        QTest::keyClicks(dialog->manualAddress, "/nonexistent/ttyVKT");
        dialog->buttonBox->button(QDialogButtonBox::Ok)->click();
    });
    if (atStartup) { // the main loop ends once the dialog is gone; with an address none is entered
        QTimer poll;
        connect(&poll, &QTimer::timeout, this,
                [&] { dialogs && !open ? QCoreApplication::exit(7) : void(); });
        poll.start(20);
        const auto address = start.isEmpty() ? std::nullopt : std::optional<QString>(start);
        QCOMPARE(StartupSequence::run(window, address), start.isEmpty() ? 7 : -1);
    } else {
        QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    }
    QCOMPARE(dialogs, int(!atStartup || start.isEmpty()));
    QVERIFY((dialogs == 0 || shownDisconnected) && !window.remoteDevice.isConnected());
    QStringList boxes;
    for (const SeenBox &seen : connected.answerer.boxes())
        boxes << seen.text;
    QCOMPARE(boxes.join(""), box);
}

void TestMainWindow::textsFit_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("en") << "en";
    QTest::newRow("de") << "de";
}

// In each language the program speaks, every text of the window's states shows whole at the
// size the window opens with, and so does every text of the configuration dialog. CTest runs
// this once more on a screen of 192 dpi: the window keeps the layout it has at 96 dpi and
// doubles every pixel.
void TestMainWindow::textsFit()
{
    QFETCH(QString, locale);
    const ProgramTranslation translation{QLocale(locale)};
    QCOMPARE(translation.isTranslated(), locale != "en");

    QStringList clipped;
    {
        // Its boxes are answered at once: the dialog below is left to show.
        ConnectedWindow connected;
        MainWindow &window = connected.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.logicalDpiY(), 96);
        clipped += clippedTexts(&window);
        QVERIFY(connected.connect({}));
        clipped += clippedTexts(&window);
        const QString firstHint = window.forceGaugeHelp->text();
        emit window.forceGauge->longPress(); // the device starts in position mode
        QTRY_VERIFY(window.forceGaugeHelp->text() != firstHint);
        clipped += clippedTexts(&window);
        window.setPayloadWeight(1e6);
        clipped += clippedTexts(&window);
        window.setPayloadWeight(-1);
        clipped += clippedTexts(&window);
    }

    ConfigSnapshot snapshot;
    snapshot.connected = snapshot.serialLink = snapshot.hasDio = true;
    snapshot.toolIdentity = {{"modelName", "VKT-250"}};
    ConfigDialog dialog(snapshot, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("configurationTabs"));
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        clipped += clippedTexts(&dialog);
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(", "))));
}

// Only a first argument, and only a whole option, asks for information instead of a window.
void TestMainWindow::helpAndVersion()
{
    using R = CommandLineInfo::Request;
    QCOMPARE(requestOf({"--help", "usb:///dev/ttyUSB0"}), R::Help);
    QCOMPARE(requestOf({"--version"}), R::Version);
    // The short forms the help lists, which once went to the device address.
    QCOMPARE(requestOf({"-h"}), R::Help);
    QCOMPARE(requestOf({"-v"}), R::Version);
    QCOMPARE(requestOf({"network://10.0.0.5", "--help"}), R::None);
    QCOMPARE(requestOf({"--help=all"}), R::None);
}

// The window as the program shows it, scaled to the screen's resolution.
class ScaledApplication : public QApplication
{
public:
    ScaledApplication(int &argc, char **argv)
        : QApplication(scaledToScreen(argc), argv)
    {}

private:
    static int &scaledToScreen(int &argc)
    {
        StartupSequence::scaleToScreen();
        return argc;
    }
};

// The connection button and a start without an address open the connect dialog, which
// broadcasts: kept off the host's network.
VKT_PRIVATE_NETWORK_TEST_MAIN(ScaledApplication, TestMainWindow)
#include "tst_mainwindow.moc"
