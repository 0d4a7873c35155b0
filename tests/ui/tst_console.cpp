// The console: the screen alone (what received bytes and keys do, that nothing changes it
// locally), and the window against vkt-sim over the link's pseudo-terminal and over TCP port 23.
#include "console.h"
#include "consolewindow.h"
#include "remotedevice.h"
#include "simprocess.h"

#include <QApplication>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <csignal>

namespace {

const QString prompt = QStringLiteral("\n>>");

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
    void screenIsTheDevicesOnly();
    void session_data();
    void session();
};

void TestConsole::receivedBytes_data()
{
    QTest::addColumn<QByteArrayList>("chunks"); // each one putData call
    QTest::addColumn<QString>("screen");
    // A backspace in a later chunk, and one that joins lines; what else a byte may do is the
    // decoder's fuzz program's to show.
    QTest::newRow("backspace") << QByteArrayList{"a\r\n", "12", "\b", "\b\b", "b"} << "ab";
    // A device that never sends a line feed gets its lines broken, also across chunks.
    const QString brokenLine = QString(1024, 'x') + '\n';
    QTest::newRow("no line feed") << QByteArrayList{QByteArray(1500, 'x'), QByteArray(1500, 'x')}
                                  << brokenLine + brokenLine + QString(952, 'x');
    // 120 lines in one chunk, 30 more in the next.
    QByteArray lines = "line 1";
    for (int line = 2; line <= 150; ++line)
        lines += "\r\nline " + QByteArray::number(line);
    QTest::newRow("the last 100 lines kept")
        << QByteArrayList{lines.left(lines.indexOf("line 121")),
                          lines.mid(lines.indexOf("line 121"))}
        << QString(lines.mid(lines.indexOf("line 51"))).remove('\r');
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

// Keys send their text only: the screen changes only by what the device sends.
void TestConsole::screenIsTheDevicesOnly()
{
    Console console;
    console.resize(400, 200);
    console.show();
    QVERIFY(QTest::qWaitForWindowActive(&console));
    console.putData("first\r\nsecond");
    QSignalSpy spy(&console, &Console::getData);
    // One press and its release, without the separate modifier presses QTest would add; taken,
    // so that nothing reaches the window, except Escape, which is there to close it.
    const auto typed = [&console](int key, Qt::KeyboardModifiers modifiers, const QString &text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(&console, &press);
        QApplication::sendEvent(&console, &release);
        return press.isAccepted();
    };
    QVERIFY(typed(Qt::Key_C, Qt::ControlModifier, "\x03"));
    QVERIFY(typed(Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9))));
    QVERIFY(typed(Qt::Key_Left, Qt::ShiftModifier, QString()));
    QVERIFY(!typed(Qt::Key_Escape, Qt::NoModifier, "\x1b"));
    QCOMPARE(sentBytes(spy), QByteArrayList({"\x03", "\xC3\xA9"}));
    QCOMPARE(console.toPlainText(), QStringLiteral("first\nsecond"));
}

void TestConsole::session_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("end"); // Escape, or what takes the line away
    QTest::newRow("serial, Escape") << true << "Escape";
    QTest::newRow("network, Escape") << false << "Escape";
    QTest::newRow("serial, link ends") << true << "disconnect";
    QTest::newRow("network, device drops the TCP connection") << false << "drop";
    // The device's process frozen: its connections stay open, nothing answers on them.
    QTest::newRow("network, device stops answering, TCP left open") << false << "freeze";
}

// Keys go out one write each and show only as the device echoes them. A serial console holds
// polling while it is open; over the network polling goes on behind it. It closes on Escape and
// when its line goes; the polls notice a frozen device: three silent attempts of a second each,
// after at most one poll period.
void TestConsole::session()
{
    QFETCH(bool, serial);
    QFETCH(QString, end);
    SimProcess sim;
    RemoteDevice device;
    const QString address = SimProcess::uniqueLoopbackAddress();
    QTcpServer probe; // over the network the sim serves its terminal on port 23
    if (!serial && !probe.listen(QHostAddress(address), 23))
        QSKIP(qPrintable("port 23 cannot be bound here (run as root): " + probe.errorString()));
    probe.close();
    QVERIFY(serial ? sim.start(SimProcess::serialOnly()) && device.connectDevice(sim.address())
                   : sim.start({"--udp-address", address, "--tcp-port=23"})
                         && device.connectDevice(sim.networkAddress()));
    QVERIFY(sim.waitForCommand("/stateObject") >= 0);
    const qint64 simPid = sim.pid();
    const auto thaw = qScopeGuard([&] { ::kill(pid_t(simPid), SIGCONT); });
    {
        ConsoleWindow window(&device);
        window.show();
        const int opened = sim.commands().size();
        auto *screen = window.findChild<Console *>("consoleData");
        // The banner, then the one prompt a single carriage return at opening fetched.
        const QString greeting =
            (serial ? "HBN-1000 Console Interface" : "HBN-Sim (HBN-1000) terminal") + prompt;
        QTRY_COMPARE(screen->toPlainText(), greeting);
        QIODevice *line = serial ? static_cast<QIODevice *>(device.serialPort())
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
        QTRY_COMPARE(screen->toPlainText(), greeting + "abc\nError: unknown path abc" + prompt);
        QTest::qWait(700); // two poll periods
        QCOMPARE(sim.commands().mid(opened).contains("/stateObject"), !serial);
        QElapsedTimer gone;
        gone.start();
        if (end == "Escape")
            QTest::keyClick(screen, Qt::Key_Escape);
        else if (end == "drop")
            QVERIFY(sim.control("terminal drop"));
        else if (end == "freeze")
            QCOMPARE(::kill(pid_t(simPid), SIGSTOP), 0);
        else
            device.disconnectDevice();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
        QVERIFY2(gone.elapsed() < 4500, QByteArray::number(gone.elapsed()));
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }
    QCOMPARE(device.isConnected(), end == "Escape" || end == "drop");
    QVERIFY(!device.isConnected()
            || sim.waitForCommand("/stateObject", sim.commands().size()) >= 0);
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
