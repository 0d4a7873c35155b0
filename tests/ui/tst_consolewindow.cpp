// The console dialog against vkt-sim: over the link's pseudo-terminal, and over TCP port 23 of
// a loopback address of the test's own.
#include "console.h"
#include "consolewindow.h"
#include "mainwindow.h"
#include "remotedevice.h"
#include "simprocess.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <csignal>

namespace {

constexpr quint16 terminalPort = 23;
constexpr int twoPollPeriodsMs = 700;
const QString prompt = QStringLiteral("\n>>");

Console *screenOf(ConsoleWindow &window)
{
    return window.findChild<Console *>(QStringLiteral("consoleData"));
}

void closeByButton(ConsoleWindow &window)
{
    window.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)->click();
}

// A simulated device and the link to it.
struct Link
{
    enum class Transport { Serial, Network };

    // Over the network the sim serves its terminal on port 23 (or not at all, with `tcp`
    // false). Sets `skipReason` when port 23 cannot be had here.
    bool open(Transport transport, bool tcp = true)
    {
        if (transport == Transport::Serial)
            return sim.start(SimProcess::serialOnly()) && device.connectDevice(sim.address());
        address = SimProcess::uniqueLoopbackAddress();
        QStringList arguments{"--udp-address", address, "--no-tcp"};
        if (tcp) {
            QTcpServer probe;
            if (!probe.listen(QHostAddress(address), terminalPort)) {
                skipReason = QStringLiteral("port 23 cannot be bound on %1 (%2): run as root")
                                 .arg(address, probe.errorString());
                return false;
            }
            arguments = QStringList{"--udp-address", address, "--tcp-port", "23"};
        }
        return sim.start(arguments) && device.connectDevice(sim.networkAddress());
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
        QVERIFY(opened);                                                                           \
        QVERIFY((link).device.isConnected());                                                      \
    } while (false)

} // namespace

Q_DECLARE_METATYPE(Link::Transport)

class TestConsoleWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void typingSendsKeysWithoutLocalEcho_data();
    void typingSendsKeysWithoutLocalEcho();
    void serialPausesPollingUntilClosed_data();
    void serialPausesPollingUntilClosed();
    void closesWhenTheLineGoes_data();
    void closesWhenTheLineGoes();
    void unreachableTerminalSaysSo();
    void withoutTransportTypingDoesNothing();
    void consoleButtonOpensTheDialog();
};

void TestConsoleWindow::typingSendsKeysWithoutLocalEcho_data()
{
    QTest::addColumn<Link::Transport>("transport");
    QTest::addColumn<QString>("greeting"); // the whole screen before typing
    // The serial line's banner, then the one prompt its single carriage return fetched.
    QTest::newRow("serial") << Link::Transport::Serial << "HBN-1000 Console Interface" + prompt;
    QTest::newRow("network") << Link::Transport::Network << "HBN-Sim (HBN-1000) terminal" + prompt;
}

void TestConsoleWindow::typingSendsKeysWithoutLocalEcho()
{
    QFETCH(Link::Transport, transport);
    QFETCH(QString, greeting);
    const bool serial = transport == Link::Transport::Serial;
    Link link;
    OPEN_LINK(link, transport);
    {
        ConsoleWindow window(&link.device);
        window.show();
        const int opened = link.sim.commands().size();
        Console *screen = screenOf(window);
        QTRY_COMPARE(screen->toPlainText(), greeting);
        QIODevice *line = serial ? static_cast<QIODevice *>(link.device.serialPort())
                                 : window.findChild<QIODevice *>();
        QVERIFY(line);
        QVERIFY(!line->bytesToWrite());

        // No event loop between the keys: each one is its own write, and nothing is on screen.
        QSignalSpy sent(screen, &Console::getData);
        const QList<Qt::Key> keys{Qt::Key_A, Qt::Key_B, Qt::Key_C, Qt::Key_Return};
        for (int typed = 1; typed <= keys.size(); ++typed) {
            QTest::keyClick(screen, keys[typed - 1]);
            QCOMPARE(line->bytesToWrite(), qint64(typed));
        }
        QByteArrayList bytes;
        for (const QList<QVariant> &arguments : qAsConst(sent))
            bytes << arguments.at(0).toByteArray();
        QCOMPARE(bytes, QByteArrayList({"\x61", "\x62", "\x63", "\x0D"}));
        QCOMPARE(screen->toPlainText(), greeting);
        // A second carriage return at opening would show as a second prompt before the answer.
        QTRY_COMPARE(screen->toPlainText(), greeting + "abc\nError: unknown path abc" + prompt);
        if (serial)
            return; // a serial console holds polling until it is closed, as checked below
        // Over the network polling goes on behind the console, and after it.
        QVERIFY(link.sim.waitForCommand("/stateObject", opened) >= 0);
    } // destroyed with its TCP connection still up
    QVERIFY(link.sim.waitForCommand("/stateObject", link.sim.commands().size()) >= 0);
}

void TestConsoleWindow::serialPausesPollingUntilClosed_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "close box";
}

void TestConsoleWindow::serialPausesPollingUntilClosed()
{
    QFETCH(QString, how);
    Link link;
    OPEN_LINK(link, Link::Transport::Serial);
    QVERIFY(link.sim.waitForCommand("/stateObject") >= 0);
    {
        ConsoleWindow window(&link.device);
        window.show();
        const int opened = link.sim.commands().size();
        Console *screen = screenOf(window);
        QTest::keyClicks(screen, "/vkt/maxForce");
        QTest::keyClick(screen, Qt::Key_Return);
        QTRY_VERIFY(screen->toPlainText().endsWith("/vkt/maxForce\n250" + prompt));
        QTest::qWait(twoPollPeriodsMs); // time enough for polls, were they running
        QCOMPARE(link.sim.commands().mid(opened), QStringList{"/vkt/maxForce"});

        if (how == "button") {
            closeByButton(window);
        } else if (how == "escape") {
            QTest::keyClick(screen, Qt::Key_Escape);
        } else {
            window.close();
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }
    const int closed = link.sim.commands().size();
    QVERIFY(link.sim.waitForCommand("/stateObject", closed) >= 0);
    QVERIFY(link.device.isConnected());
}

void TestConsoleWindow::closesWhenTheLineGoes_data()
{
    QTest::addColumn<Link::Transport>("transport");
    QTest::addColumn<QString>("what");
    QTest::newRow("serial link disconnects") << Link::Transport::Serial << "disconnect";
    QTest::newRow("network link disconnects") << Link::Transport::Network << "disconnect";
    QTest::newRow("device drops the TCP connection") << Link::Transport::Network << "drop";
    // The device's process frozen: its connections stay open, nothing answers on them.
    QTest::newRow("device stops answering, TCP left open") << Link::Transport::Network << "freeze";
}

void TestConsoleWindow::closesWhenTheLineGoes()
{
    QFETCH(Link::Transport, transport);
    QFETCH(QString, what);
    Link link;
    OPEN_LINK(link, transport);
    ConsoleWindow window(&link.device);
    window.show();
    QTRY_VERIFY(screenOf(window)->toPlainText().endsWith(prompt));
    const qint64 simPid = link.sim.process().processId();
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
    QVERIFY2(gone.elapsed() < 4500, qPrintable(QString::number(gone.elapsed())));
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(link.device.isConnected(), what == "drop");
}

void TestConsoleWindow::unreachableTerminalSaysSo()
{
    Link link;
    OPEN_LINK(link, Link::Transport::Network, false);
    QElapsedTimer built;
    built.start();
    ConsoleWindow window(&link.device);
    QVERIFY(built.elapsed() < 3000 + 2000); // a refused connection ends the wait at once
    window.show();
    Console *screen = screenOf(window);
    const QString line =
        QStringLiteral("The terminal at %1 port 23 could not be reached.").arg(link.address);
    QCOMPARE(screen->toPlainText(), line);
    QTest::keyClicks(screen, "abc");
    QTest::keyClick(screen, Qt::Key_Return);
    QTest::qWait(200);
    QCOMPARE(screen->toPlainText(), line);
    QVERIFY(window.isVisible());
    const int open = link.sim.commands().size();
    QVERIFY(link.sim.waitForCommand("/stateObject", open) >= 0);
}

void TestConsoleWindow::withoutTransportTypingDoesNothing()
{
    RemoteDevice device;
    ConsoleWindow window(&device);
    window.show();
    Console *screen = screenOf(window);
    QTest::keyClicks(screen, "abc");
    QTest::keyClick(screen, Qt::Key_Return);
    QCOMPARE(screen->toPlainText(), QString());
    QVERIFY(window.isVisible());
    closeByButton(window);
    QVERIFY(!window.isVisible());
}

void TestConsoleWindow::consoleButtonOpensTheDialog()
{
    // No ModalAnswerer here: it would close the dialog before it is looked at.
    SimProcess sim;
    MainWindow mainWindow;
    QVERIFY(sim.start(SimProcess::serialOnly()));
    QVERIFY(mainWindow.remoteDevice.connectDevice(sim.address()));
    QVERIFY(mainWindow.consoleButton->isEnabled());
    QString title;
    bool hasIcon = false;
    // Seen and closed from inside the dialog's own loop.
    QTimer::singleShot(300, &mainWindow, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *window = qobject_cast<ConsoleWindow *>(modal)) {
            title = window->windowTitle();
            hasIcon = !window->windowIcon().isNull();
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    mainWindow.consoleButton->click();
    QCOMPARE(title, QStringLiteral("Console"));
    QVERIFY(hasIcon);
    const int closed = sim.commands().size();
    QVERIFY(sim.waitForCommand("/stateObject", closed) >= 0);
}

QTEST_MAIN(TestConsoleWindow)
#include "tst_consolewindow.moc"
