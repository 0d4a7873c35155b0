// The console: the screen alone (what received bytes and keys do, that nothing changes it
// locally), and the window against vkt-sim over the link's pseudo-terminal and over TCP port 23.
#include "console.h"
#include "consolewindow.h"
#include "mainwindow.h"
#include "simprocess.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <csignal>

namespace {

const QString prompt = QStringLiteral("\n>>");

// A simulated device and the link to it; over the network the sim serves its terminal on port
// 23, or none with `tcp` false. `skipReason` tells when port 23 cannot be had here.
struct Link
{
    bool open(bool serial, bool tcp = true)
    {
        if (serial)
            return sim.start(SimProcess::serialOnly()) && device.connectDevice(sim.address());
        address = SimProcess::uniqueLoopbackAddress();
        QTcpServer probe;
        if (tcp && !probe.listen(QHostAddress(address), 23))
            skipReason = "port 23 cannot be bound here (run as root): " + probe.errorString();
        probe.close();
        return sim.start({"--udp-address", address, tcp ? "--tcp-port=23" : "--no-tcp"})
               && device.connectDevice(sim.networkAddress());
    }

    SimProcess sim;
    RemoteDevice device;
    QString address;
    QString skipReason;
};

#define OPEN_LINK(link, ...)                                                                       \
    do {                                                                                           \
        const bool opened = (link).open(__VA_ARGS__);                                              \
        if (!(link).skipReason.isEmpty())                                                          \
            QSKIP(qPrintable((link).skipReason));                                                  \
        QVERIFY(opened && (link).device.isConnected());                                            \
    } while (false)

Console *screenOf(ConsoleWindow &window)
{
    return window.findChild<Console *>("consoleData");
}

QByteArrayList sentBytes(const QSignalSpy &spy)
{
    QByteArrayList bytes;
    for (const QList<QVariant> &arguments : spy)
        bytes << arguments.at(0).toByteArray();
    return bytes;
}

} // namespace

class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void receivedBytes_data();
    void receivedBytes();
    void keysSendTheirTextOnly_data();
    void keysSendTheirTextOnly();
    void mouseLeavesScreenAlone();
    void typingSendsKeysWithoutLocalEcho_data();
    void typingSendsKeysWithoutLocalEcho();
    void closesWhenTheLineGoes_data();
    void closesWhenTheLineGoes();
    void unreachableTerminalSaysSo();
    void consoleButtonOpensTheWindow();
};

void TestConsole::receivedBytes_data()
{
    QTest::addColumn<QByteArrayList>("chunks"); // each one putData call
    QTest::addColumn<QString>("screen");
    QByteArray high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high += char(byte);
    QTest::newRow("backspace in a later chunk") << QByteArrayList{"12", "\b"} << "1";
    QTest::newRow("backspace joins lines") << QByteArrayList{"a\r\n", "\b", "b"} << "ab";
    QTest::newRow("0x80 to 0xFF never appear") << QByteArrayList{"<" + high + ">", high} << "<>";
    QTest::newRow("control bytes dropped, tab kept")
        << QByteArrayList{QByteArray("a\x01\x1b\x7f\x00\tb\r", 9)} << "a\tb";
    // A device that never sends a line feed gets its lines broken, also across chunks.
    const QString brokenLine = QString(1024, 'x') + '\n';
    QTest::newRow("no line feed") << QByteArrayList{QByteArray(1500, 'x'), QByteArray(1500, 'x')}
                                  << brokenLine + brokenLine + QString(952, 'x');
    QByteArrayList lines;
    QStringList kept;
    for (int line = 1; line <= 150; ++line) {
        lines << "line " + QByteArray::number(line) + (line < 150 ? "\r\n" : "");
        if (line > 50)
            kept << QStringLiteral("line %1").arg(line);
    }
    QTest::newRow("the last 100 lines kept") << lines << kept.join('\n');
}

void TestConsole::receivedBytes()
{
    QFETCH(QByteArrayList, chunks);
    Console console;
    console.resize(400, 200);
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    for (const QByteArray &chunk : chunks)
        console.putData(chunk);
    QTEST(console.toPlainText(), "screen");
    QCOMPARE(console.verticalScrollBar()->value(), console.verticalScrollBar()->maximum());
}

void TestConsole::keysSendTheirTextOnly_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // as the key event reports it
    QTest::addColumn<QByteArrayList>("sent");
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << "a" << QByteArrayList{"a"};
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03"
                            << QByteArrayList{"\x03"};
    QTest::newRow("non-ASCII as UTF-8") << int(Qt::Key_Eacute) << int(Qt::NoModifier)
                                        << QString(QChar(0xE9)) << QByteArrayList{"\xC3\xA9"};
    QTest::newRow("Shift+Left") << int(Qt::Key_Left) << int(Qt::ShiftModifier) << ""
                                << QByteArrayList();
    QTest::newRow("Escape is the window's")
        << int(Qt::Key_Escape) << int(Qt::NoModifier) << "\x1b" << QByteArrayList();
}

void TestConsole::keysSendTheirTextOnly()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    Console console;
    console.putData("first\r\nsecond");
    QTextCursor middle = console.textCursor();
    middle.setPosition(3);
    console.setTextCursor(middle);
    QSignalSpy spy(&console, &Console::getData);
    // One press and its release, without the separate modifier presses QTest would add.
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(&console, &press);
    QApplication::sendEvent(&console, &release);
    // Taken, so that nothing reaches the window, except Escape, which is there to close it.
    QCOMPARE(press.isAccepted(), key != Qt::Key_Escape);
    QTEST(sentBytes(spy), "sent");
    QCOMPARE(console.toPlainText(), QStringLiteral("first\nsecond"));
    QCOMPARE(console.textCursor().position(), 3);
}

void TestConsole::mouseLeavesScreenAlone()
{
    Console console;
    console.resize(400, 200);
    console.show();
    QVERIFY(QTest::qWaitForWindowActive(&console));
    console.putData("a few words\r\non two lines");
    const int end = console.textCursor().position();
    console.clearFocus();
    const QPoint onFirstWord = console.cursorRect(QTextCursor(console.document())).center();
    QTest::mouseClick(console.viewport(), Qt::LeftButton, Qt::NoModifier, onFirstWord);
    QVERIFY(console.hasFocus());
    QTest::mouseDClick(console.viewport(), Qt::LeftButton, Qt::NoModifier, onFirstWord);
    QCOMPARE(console.textCursor().position(), end);
    QVERIFY(!console.textCursor().hasSelection());
    // A menu would run its own loop; whatever pops up is seen, and closed, from inside it.
    bool popupSeen = false;
    QTimer::singleShot(200, this, [&popupSeen] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popupSeen = popup->close();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, onFirstWord,
                                 console.viewport()->mapToGlobal(onFirstWord));
    QApplication::sendEvent(console.viewport(), &rightClick);
    QTest::qWait(300);
    QVERIFY(!popupSeen);
}

void TestConsole::typingSendsKeysWithoutLocalEcho_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("greeting"); // the whole screen before typing
    // The serial line's banner, then the one prompt its single carriage return fetched.
    QTest::newRow("serial") << true << "HBN-1000 Console Interface" + prompt;
    QTest::newRow("network") << false << "HBN-Sim (HBN-1000) terminal" + prompt;
}

// Keys go out one write each and show only as the device echoes them. A serial console holds
// polling until Escape closes it; over the network polling goes on behind it and after it.
void TestConsole::typingSendsKeysWithoutLocalEcho()
{
    QFETCH(bool, serial);
    QFETCH(QString, greeting);
    Link link;
    OPEN_LINK(link, serial);
    QVERIFY(link.sim.waitForCommand("/stateObject") >= 0);
    {
        ConsoleWindow window(&link.device);
        window.show();
        const int opened = link.sim.commands().size();
        Console *screen = screenOf(window);
        QTRY_COMPARE(screen->toPlainText(), greeting);
        QIODevice *line = serial ? static_cast<QIODevice *>(link.device.serialPort())
                                 : window.findChild<QIODevice *>();
        QVERIFY(line && !line->bytesToWrite());
        QSignalSpy sent(screen, &Console::getData);
        const QList<Qt::Key> keys{Qt::Key_A, Qt::Key_B, Qt::Key_C, Qt::Key_Return};
        for (int typed = 1; typed <= keys.size(); ++typed) {
            QTest::keyClick(screen, keys[typed - 1]);
            QCOMPARE(line->bytesToWrite(), qint64(typed));
        }
        QCOMPARE(sentBytes(sent), QByteArrayList({"a", "b", "c", "\r"}));
        QCOMPARE(screen->toPlainText(), greeting);
        // A second carriage return at opening would show as a second prompt before the answer.
        QTRY_COMPARE(screen->toPlainText(), greeting + "abc\nError: unknown path abc" + prompt);
        QTest::qWait(700); // two poll periods
        QCOMPARE(link.sim.commands().mid(opened).contains("/stateObject"), !serial);
        QTest::keyClick(screen, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }
    QVERIFY(link.sim.waitForCommand("/stateObject", link.sim.commands().size()) >= 0);
    QVERIFY(link.device.isConnected());
}

void TestConsole::closesWhenTheLineGoes_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("what");
    QTest::newRow("link ends") << true << "disconnect";
    QTest::newRow("device drops the TCP connection") << false << "drop";
    // The device's process frozen: its connections stay open, nothing answers on them.
    QTest::newRow("device stops answering, TCP left open") << false << "freeze";
}

void TestConsole::closesWhenTheLineGoes()
{
    QFETCH(bool, serial);
    QFETCH(QString, what);
    Link link;
    OPEN_LINK(link, serial);
    ConsoleWindow window(&link.device);
    window.show();
    QTRY_VERIFY(screenOf(window)->toPlainText().endsWith(prompt));
    const qint64 simPid = link.sim.pid();
    const auto thaw = qScopeGuard([&] { ::kill(pid_t(simPid), SIGCONT); });
    QElapsedTimer gone;
    gone.start();
    if (what == "drop")
        QVERIFY(link.sim.control("terminal drop"));
    else if (what == "freeze")
        QCOMPARE(::kill(pid_t(simPid), SIGSTOP), 0);
    else
        link.device.disconnectDevice();
    // The polls notice a frozen device: three silent attempts of a second each, after at most
    // one poll period.
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
    QVERIFY2(gone.elapsed() < 4500, QByteArray::number(gone.elapsed()));
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(link.device.isConnected(), what == "drop");
}

// A network link without a terminal: said so, typing goes nowhere, polling goes on.
void TestConsole::unreachableTerminalSaysSo()
{
    Link link;
    OPEN_LINK(link, false, false);
    ConsoleWindow window(&link.device);
    window.show();
    Console *screen = screenOf(window);
    const QString line = "The terminal at " + link.address + " port 23 could not be reached.";
    QCOMPARE(screen->toPlainText(), line);
    QTest::keyClicks(screen, "abc\r");
    QTest::qWait(200);
    QVERIFY(screen->toPlainText() == line && window.isVisible());
    QVERIFY(link.sim.waitForCommand("/stateObject", link.sim.commands().size()) >= 0);
}

void TestConsole::consoleButtonOpensTheWindow()
{
    SimProcess sim;
    MainWindow mainWindow;
    QVERIFY(sim.start(SimProcess::serialOnly()));
    QVERIFY(mainWindow.remoteDevice.connectDevice(sim.address()));
    // Seen and closed from inside the window's own loop.
    bool seen = false;
    QTimer::singleShot(300, &mainWindow, [&] {
        auto *window = qobject_cast<ConsoleWindow *>(QApplication::activeModalWidget());
        seen = window && screenOf(*window)->toPlainText().startsWith("HBN-1000 Console");
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    mainWindow.consoleButton->click();
    QVERIFY(seen);
    QVERIFY(sim.waitForCommand("/stateObject", sim.commands().size()) >= 0);
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
