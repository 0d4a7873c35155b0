#include "configdialog.h"
#include "configsnapshot.h"
#include "connectedwindow.h"
#include "privatenetwork.h"
#include "programtranslation.h"
#include "scriptedpeer.h"
#include "startupsequence.h"
#include "wireformat.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

namespace {

const QString weighingErrorText = QStringLiteral(
    "<b>Error weighting payload!</b><br>Possible causes:<ul><li> Insufficient air "
    "pressure</li><li> Excess payload weight</li><li> Carriage position unstable</li></ul>");
const QString toolPresentStyle = QStringLiteral("background-color: #0C0");

// What the window shows of the link: button text, tool label, file buttons, payload.
QStringList linkLook(const MainWindow &window)
{
    return {window.connectionButton->text(), window.toolTypeLabel->text(),
            window.fileOpenButton->isEnabled() && window.fileSaveButton->isEnabled()
                    && window.consoleButton->isEnabled()
                ? "files"
                : "no files",
            window.payloadWeight->text()};
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

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void startup_data();
    void startup();
    void connectAndDisconnect_data();
    void connectAndDisconnect();
    void payloadSequence_data();
    void payloadSequence();
    void toolLossDuringWeighing();
    void hostileDevice_data();
    void hostileDevice();
    void pollingGoesOnBehindBoxes_data();
    void pollingGoesOnBehindBoxes();
    void activatingClickOnTheWindow_data();
    void activatingClickOnTheWindow();
    void operatorActionsReachDevice();
    void arrowKeysOnRelease_data();
    void arrowKeysOnRelease();
    void programPicture();
    void titleRowKeys_data();
    void titleRowKeys();
    void textsFit_data();
    void textsFit();
};

void TestMainWindow::startup_data()
{
    QTest::addColumn<QString>("address"); // "sim": a simulated device's, over UDP
    QTest::addColumn<QString>("box");     // none: the event loop runs
    QTest::newRow("simulated device") << "sim" << QString();
    QTest::newRow("port that does not open") << "usb:///nonexistent/ttyVKT"
                                             << "Error connecting to \"usb:///nonexistent/ttyVKT\"";
}

void TestMainWindow::startup()
{
    QFETCH(QString, address);
    QFETCH(QString, box);
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    const bool toSim = address == "sim";
    if (toSim) {
        QVERIFY(connected.sim.start(
            {"--no-tcp", "--udp-address", SimProcess::uniqueLoopbackAddress()}));
        address = connected.sim.networkAddress();
    }
    // Ends the loop with its own status, again until the main loop has ended; late where it
    // must not be entered, so as never to hang.
    QTimer exitTimer;
    QObject::connect(&exitTimer, &QTimer::timeout, &window, [] { QCoreApplication::exit(7); });
    exitTimer.start(box.isEmpty() ? 20 : 5000);
    QCOMPARE(StartupSequence::run(window, address), box.isEmpty() ? 7 : -1);
    QVERIFY(window.isVisible());
    QCOMPARE(connected.answerer.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        QCOMPARE(connected.answerer.boxes()[0].text, box);
        QCOMPARE(connected.answerer.boxes()[0].title, QStringLiteral("VKT Dashboard"));
    }
    if (toSim) {
        QVERIFY(window.remoteDevice.isConnected());
        QCOMPARE(window.connectionButton->text(),
                 window.remoteDevice.deviceIdRecord().value("deviceName").toString());
        return;
    }
    QCOMPARE(linkLook(window), (QStringList{"CONNECT", "NO TOOL", "no files", "UNKNOWN"}));
    QVERIFY(window.setupButton->isEnabled() && window.weighPayloadButton->isEnabled());
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        QVERIFY2(button->focusPolicy() == Qt::NoFocus, qPrintable(button->objectName()));
}

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
    QFETCH(double, forceMaximum);
    QFETCH(double, positionMaximum);

    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connected.connect(simArguments));
    const QString model = tool ? window.remoteDevice.toolIdRecord().value("modelName").toString()
                               : QStringLiteral("NONE");
    QCOMPARE(linkLook(window),
             (QStringList{window.remoteDevice.deviceIdRecord().value("deviceName").toString(),
                          model, "files", "UNKNOWN"}));
    QCOMPARE(window.connectionButton->styleSheet(), toolPresentStyle);
    QCOMPARE(window.weighPayloadButton->isEnabled(), tool);
    QCOMPARE(window.forceGauge->maximum, forceMaximum);
    QCOMPARE(window.positionGauge->maximum, positionMaximum);
    QVERIFY(connected.sim.control(QStringLiteral("state controlMode 0")));
    QTRY_VERIFY(window.positionGauge->commandFocus);
    // Force control (bit 0) with soft touch (bit 2) moves the command focus.
    QVERIFY(connected.sim.control(QStringLiteral("state controlMode 5")));
    QTRY_VERIFY(window.forceGauge->commandFocus);
    QVERIFY(!window.positionGauge->commandFocus);
    QCOMPARE(window.forceGauge->softTouchActive(), 4);
    QCOMPARE(window.forceGaugeHelp->text(), QStringLiteral("CLICK to set Force"));
    QCOMPARE(window.positionGaugeHelp->text(), QStringLiteral("CLICK + HOLD for Position Mode"));

    QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    QVERIFY(!window.remoteDevice.isConnected());
    QCOMPARE(linkLook(window), (QStringList{"CONNECT", "NONE", "no files", "UNKNOWN"}));
    QCOMPARE(window.connectionButton->styleSheet(), QString());
    QCOMPARE(window.forceGauge->value, 0.0);
    QCOMPARE(window.positionGauge->posLimit(), 0.0);
    QVERIFY(!window.forceGauge->commandFocus && !window.positionGauge->commandFocus);
    QVERIFY(connected.answerer.boxes().isEmpty());
}

void TestMainWindow::payloadSequence_data()
{
    QTest::addColumn<int>("metricUnits");
    QTest::addColumn<QList<double>>("weights");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("box");

    const QString question = QStringLiteral("Save new payload weight as default?");
    QTest::newRow("metric") << 1 << QList<double>{0, -1, 25.5}
                            << QStringList{"UNKNOWN", "WEIGHING", "25.50 Kg"} << question;
    QTest::newRow("english") << 0 << QList<double>{0, -1, 25.5}
                             << QStringList{"UNKNOWN", "WEIGHING", "25.5 Lb"} << question;
    // A failed weighing is reported once, not again at the next zero.
    QTest::newRow("weighing fails")
        << 1 << QList<double>{-1, 0, 0} << QStringList{"WEIGHING", "UNKNOWN", "UNKNOWN"}
        << weighingErrorText;
}

void TestMainWindow::payloadSequence()
{
    QFETCH(int, metricUnits);
    QFETCH(QList<double>, weights);
    QFETCH(QStringList, texts);
    QFETCH(QString, box);

    ConnectedWindow connected(QMessageBox::Yes);
    MainWindow &window = connected.window;
    QVERIFY(connected.connect({"--device", "vkt"}));
    QVERIFY(connected.sim.control(QStringLiteral("state metricUnits %1").arg(metricUnits)));
    QTRY_COMPARE(window.remoteDevice.stateRecord().value("metricUnits").toInt(), metricUnits);
    const int from = connected.sim.commands().size();

    for (int i = 0; i < weights.size(); ++i) {
        window.setPayloadWeight(weights[i]);
        QCOMPARE(window.payloadWeight->text(), texts[i]);
        // The weigh button rests while a weighing runs.
        QCOMPARE(window.weighPayloadButton->isEnabled(), weights[i] >= 0);
    }
    QTRY_COMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text, box);
    QCOMPARE(connected.answerer.boxes()[0].parent, &window);
    const bool saved = connected.sentSince(from).contains(QStringLiteral("/saveConfig"));
    QCOMPARE(saved, box != weighingErrorText);
}

void TestMainWindow::toolLossDuringWeighing()
{
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connected.connect({"--device", "hbn"}));
    QVERIFY(connected.sim.control(QStringLiteral("payload -1")));
    QTRY_COMPARE(window.payloadWeight->text(), QStringLiteral("WEIGHING"));

    QVERIFY(connected.sim.control(QStringLiteral("tool off")));
    QTRY_COMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text, weighingErrorText);
    QCOMPARE(window.toolTypeLabel->text(), QStringLiteral("NONE"));
    QCOMPARE(window.payloadWeight->text(), QStringLiteral("UNKNOWN"));
    QVERIFY(!window.weighPayloadButton->isEnabled()); // no tool to weigh with

    // The ended weighing is not reported a second time.
    QVERIFY(connected.sim.control(QStringLiteral("payload 0")));
    QVERIFY(connected.sim.control(QStringLiteral("tool on")));
    QTRY_COMPARE(window.toolTypeLabel->styleSheet(), toolPresentStyle);
    QVERIFY(window.weighPayloadButton->isEnabled());
    QCOMPARE(connected.answerer.boxes().size(), 1);
}

void TestMainWindow::hostileDevice_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("where"); // tool, button, box, payload, force, position
    QTest::addColumn<QString>("shown"); // the whole text there, as a regular expression

    const QByteArray picture = R"(<img src=\":/vktdash.png\">)";
    QTest::newRow("tool name in HTML")
        << QByteArray("/vkt/deviceId") << R"({"modelName": "<h1>VKT</h1>)" + picture + R"("})"
        << "tool"
        << "<h1>VKT</h1>.*";
    QTest::newRow("long device name with an ampersand")
        << QByteArray("/deviceId")
        << R"({"deviceName": "A&B)" + QByteArray(300, 'x') + R"(", "modelName": "HBN"})"
        << "button"
        << "A&&Bx+\u2026";
    QTest::newRow("weighing error in HTML")
        << QByteArray("/vkt/weighPayload")
        << QByteArray(R"("<!-- Error --><font color=green>Weighing OK</font>")") << "box"
        << "<!-- Error --><font color=green>Weighing OK</font>";
    QTest::newRow("payload of 309 digits")
        << QByteArray("/stateObject") << QByteArray(R"({"payloadWeight": 1e308})") << "payload"
        << "OUT OF RANGE";
    QTest::newRow("force rating 1e7") << QByteArray("/vkt/maxForce") << QByteArray("1e7") << "force"
                                      << "BAD RATING";
    QTest::newRow("position 1e308")
        << QByteArray("/stateObject") << QByteArray(R"({"actualPosition": 1e308})") << "position"
        << "OUT OF RANGE";
}

// What a device sends is shown as it is, as plain text, never widens the window, and a number
// no display can show is said to be out of range.
void TestMainWindow::hostileDevice()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, answer);
    QFETCH(QString, where);
    QFETCH(QString, shown);

    ScriptedPeer peer;
    peer.setAnswer(path, answer);
    ModalAnswerer answerer;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString address = peer.start(false);
    QVERIFY(window.remoteDevice.connectDevice(address));
    if (where == "box")
        QTest::mouseClick(window.weighPayloadButton, Qt::LeftButton);

    const auto seen = [&]() -> QString {
        if (where == "tool")
            return window.toolTypeLabel->textFormat() == Qt::PlainText
                       ? window.toolTypeLabel->text()
                       : "rich text";
        if (where == "button")
            return window.connectionButton->text();
        if (where == "box")
            return answerer.boxes().isEmpty() || answerer.boxes()[0].textFormat != Qt::PlainText
                       ? "no plain box"
                       : answerer.boxes()[0].text;
        if (where == "payload")
            return window.payloadWeight->text();
        if (where == "force")
            return window.forceGauge->scaleNote;
        return window.positionGauge->valueText(window.positionGauge->value);
    };
    const QRegularExpression expected(QRegularExpression::anchoredPattern(shown));
    QTRY_VERIFY2(expected.match(seen()).hasMatch(), qPrintable(seen()));
    QApplication::processEvents(); // a layout grown by a text would resize the window now
    QCOMPARE(window.width(), 800);
}

void TestMainWindow::pollingGoesOnBehindBoxes_data()
{
    QTest::addColumn<QString>("control"); // what ends the weighing, from inside a poll
    QTest::addColumn<QString>("text");
    QTest::newRow("save question") << "payload 2.5"
                                   << "Save new payload weight as default?";
    QTest::newRow("weighing error") << "payload 0" << weighingErrorText;
}

void TestMainWindow::pollingGoesOnBehindBoxes()
{
    QFETCH(QString, control);
    QFETCH(QString, text);

    SimProcess sim;
    MainWindow window;
    QVERIFY(sim.start(SimProcess::serialOnly() + QStringList{"--device", "hbn"}));
    QVERIFY(window.remoteDevice.connectDevice(sim.address()));
    QVERIFY(sim.control(QStringLiteral("payload -1")));
    QTRY_COMPARE(window.payloadWeight->text(), QStringLiteral("WEIGHING"));

    // Holds the box open for a second, counting the polls made behind it, then says No.
    constexpr int openMs = 1000;
    QString seenText;
    int pollsBehind = -1;
    int pollsAtOpen = 0;
    QElapsedTimer open;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const int polls = sim.commands().count(QStringLiteral("/stateObject"));
        if (!open.isValid()) {
            open.start();
            pollsAtOpen = polls;
            seenText = box->text();
        } else if (open.hasExpired(openMs)) {
            pollsBehind = polls - pollsAtOpen;
            if (QAbstractButton *no = box->button(QMessageBox::No))
                no->click();
            else
                box->reject();
        }
    });
    watcher.start(20);
    QVERIFY(sim.control(control));
    QTRY_VERIFY_WITH_TIMEOUT(pollsBehind >= 0, 5000);
    QCOMPARE(seenText, text);
    // At 300 ms apart, about three polls fit into the second the box was open.
    QVERIFY2(pollsBehind >= 2, QByteArray::number(pollsBehind));
    QVERIFY(window.remoteDevice.isConnected());
}

void TestMainWindow::activatingClickOnTheWindow_data()
{
    // "A" the window's activation, delivered to every widget in it; "P" a click on the force
    // gauge; "B" a message box opened over the window and answered, after which the window is
    // active again; "W" a pause longer than an activating click takes.
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("acted");
    QTest::newRow("activation, then its press") << "APP" << 1;
    QTest::newRow("after the save question") << "BWPP" << 2;
}

void TestMainWindow::activatingClickOnTheWindow()
{
    QFETCH(QString, events);
    QFETCH(int, acted);

    ModalAnswerer answerer(QMessageBox::No);
    MainWindow window;
    window.show();
    CommandCircularGauge *gauge = window.forceGauge;
    gauge->setCommandFocus(true);
    QSignalSpy changed(gauge, &CommandCircularGauge::commandChanged);
    QApplication::setActiveWindow(nullptr);
    QEnterEvent enter{QPointF(), QPointF(), QPointF()};
    QApplication::sendEvent(gauge, &enter);
    for (const QChar step : events) {
        if (step == QLatin1Char('A')) {
            QApplication::setActiveWindow(&window);
        } else if (step == QLatin1Char('B')) {
            QMessageBox::question(&window, QStringLiteral("VKT Dashboard"),
                                  QStringLiteral("Save new payload weight as default?"),
                                  QMessageBox::Yes | QMessageBox::No);
            QApplication::setActiveWindow(&window);
        } else if (step == QLatin1Char('P')) {
            const QPoint at(gauge->width() / 2 - 20 + 10 * changed.count(), gauge->height() / 5);
            QTest::mouseClick(gauge, Qt::LeftButton, Qt::NoModifier, at);
        } else {
            QTest::qWait(CommandCircularGauge::activatingPressMs + 100);
        }
    }
    QCOMPARE(changed.count(), acted);
}

void TestMainWindow::operatorActionsReachDevice()
{
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connected.connect({"--device", "vkt"}));
    int from = connected.sim.commands().size();
    emit window.forceGauge->longPress();
    emit window.positionGauge->longPress();
    QTest::keyRelease(&window, Qt::Key_Left);
    QTest::keyRelease(&window, Qt::Key_Up);
    const QString command = WireFormat::formatNumber(window.forceGauge->commandValue);
    QCOMPARE(connected.sentSince(from).filter(QRegularExpression("Mode|command")),
             (QStringList{"/vkt/forceMode", "/vkt/positionMode", "/vkt/commandForce=" + command}));

    // Long presses while disconnected are not sent later.
    window.remoteDevice.disconnectDevice();
    emit window.forceGauge->longPress();
    emit window.positionGauge->longPress();
    from = connected.sim.commands().size();
    QVERIFY(window.remoteDevice.connectDevice(connected.sim.address()));
    QVERIFY(connected.sentSince(from).filter("Mode").isEmpty());
}

void TestMainWindow::arrowKeysOnRelease_data()
{
    QTest::addColumn<QList<int>>("releases");
    QTest::addColumn<QList<double>>("commands"); // force commands positive, position negative

    QTest::newRow("left, up") << QList<int>{Qt::Key_Left, Qt::Key_Up} << QList<double>{0.5};
    QTest::newRow("right, up, up, down")
        << QList<int>{Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}
        << QList<double>{-0.1, -0.2, -0.1};
    QTest::newRow("other keys, then up")
        << QList<int>{Qt::Key_A, Qt::Key_Space, Qt::Key_Return, Qt::Key_Up} << QList<double>{};
}

void TestMainWindow::arrowKeysOnRelease()
{
    QFETCH(QList<int>, releases);
    QFETCH(QList<double>, commands);

    MainWindow window;
    QList<double> seen;
    connect(window.forceGauge, &ForceGauge::commandChanged, this, [&](double v) { seen << v; });
    connect(window.positionGauge, &PositionGauge::commandChanged, this,
            [&](double v) { seen << -v; });
    for (int key : releases) {
        // A press alone does nothing; the release acts, and is not passed on.
        const int before = seen.size();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
        QCOMPARE(seen.size(), before);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        release.ignore();
        QApplication::sendEvent(&window, &release);
        QVERIFY(release.isAccepted());
    }
    QCOMPARE(seen.size(), commands.size());
    for (int i = 0; i < seen.size(); ++i)
        QVERIFY(qFuzzyCompare(seen[i], commands[i]));
}

// The picture is not kept decoded at 512 px, and shows exactly as the full picture would: in
// the title, scaled by the label; as the window icon, whole or fitted into a smaller size.
void TestMainWindow::programPicture()
{
    const QImage full(QStringLiteral(":/vktdash.png"));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QLabel fromFullPicture;
    fromFullPicture.setScaledContents(true);
    fromFullPicture.setContentsMargins(window.iconLabel->contentsMargins());
    fromFullPicture.setPixmap(QPixmap::fromImage(full));
    fromFullPicture.resize(window.iconLabel->size());
    const auto drawn = [](QLabel *label) {
        QImage image(label->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        label->render(&image, QPoint(), QRegion(), QWidget::RenderFlags()); // no background
        return image;
    };
    QCOMPARE(drawn(window.iconLabel), drawn(&fromFullPicture));

    const QIcon icon = window.windowIcon();
    const QIcon fromFullPixmap(QPixmap::fromImage(full));
    QCOMPARE(icon.availableSizes(), fromFullPixmap.availableSizes());
    for (const QSize size : {full.size(), QSize(1024, 1024), QSize(64, 32), QSize(16, 16)}) {
        QCOMPARE(icon.actualSize(size), fromFullPixmap.actualSize(size));
        QCOMPARE(icon.pixmap(size).toImage(), fromFullPixmap.pixmap(size).toImage());
    }
}

void TestMainWindow::titleRowKeys_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("name");
    QTest::newRow("load") << "fileOpenButton"
                          << "Ctrl+O"
                          << "Load Parameter File";
    QTest::newRow("save") << "fileSaveButton"
                          << "Ctrl+S"
                          << "Save Parameter File";
    QTest::newRow("terminal") << "consoleButton"
                              << "Ctrl+K"
                              << "Terminal";
    QTest::newRow("settings") << "setupButton"
                              << "Ctrl+,"
                              << "Settings";
    QTest::newRow("trend") << "trendButton"
                           << "Ctrl+T"
                           << "Trend";
}

// A title-row action's key acts on its press, though the window takes key releases for the
// gauges; the tool tip names the key, and assistive technology reads the name, not the "...".
void TestMainWindow::titleRowKeys()
{
    QFETCH(QString, button);
    QFETCH(QString, keys);
    QFETCH(QString, name);
    MainWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList clicked;
    for (QToolButton *each : {window.fileOpenButton, window.fileSaveButton, window.consoleButton,
                              window.setupButton, window.trendButton}) {
        each->setEnabled(true);
        each->disconnect(&window); // the click alone, without the dialog it opens
        connect(each, &QToolButton::clicked, this,
                [&clicked, each] { clicked << each->objectName(); });
    }
    QTest::keySequence(&window, QKeySequence(keys));
    QTRY_COMPARE(clicked, QStringList{button});
    const auto *pressed = window.findChild<QToolButton *>(button);
    QCOMPARE(pressed->toolTip(), QStringLiteral("%1 (%2)").arg(name, keys));
    QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<QToolButton *>(pressed))
                 ->text(QAccessible::Name),
             name);
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
