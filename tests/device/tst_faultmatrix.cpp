#include "remotedevice.h"
#include "simprocess.h"
#include "wireformat.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <atomic>
#include <thread>

Q_LOGGING_CATEGORY(lcMatrix, "vkt.matrix", QtInfoMsg)

// The link against a misbehaving simulated device, over a pseudo-terminal and over loopback UDP:
// what each fault ends in, how soon, and every command the device received. Each row prints a
// MATRIX line, which scripts/fault-matrix turns into the table of docs/reliability.md.
class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void matrix_data();
    void matrix();
};

namespace {

constexpr int waitMs = 1000;    // the link's wait for more reply data
constexpr int attemptMs = 3000; // the link's bound on one attempt
constexpr int pollMs = 300;
constexpr int marginMs = 1500; // for a machine shared with parallel builds

const QStringList vktAlone{"--device", "vkt"};

QString valueText(const QJsonValue &value)
{
    return value.isNull() ? "null" : WireFormat::formatValue(value);
}

// "a, b x3": the commands in order, repeats counted.
QString summary(const QStringList &commands)
{
    QStringList runs;
    for (int i = 0, end = 0; i < commands.size(); i = end) {
        while (end < commands.size() && commands.at(end) == commands.at(i))
            ++end;
        runs << commands.at(i) + (end - i > 1 ? QStringLiteral(" x%1").arg(end - i) : QString());
    }
    return runs.join(", ");
}

} // namespace

void TestFaultMatrix::matrix_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    // What is timed: "connect"; the link ending after a control line to the device, "polls",
    // "flash" (a firmware update) or "restart" (after a kill); an "import"; else two exchanges,
    // after a control line to the device when one is given ("forge" forges datagrams besides).
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    QTest::addColumn<QString>("outcome"); // a regular expression for what is seen
    const auto row = [](const char *name, bool serial, const QStringList &options,
                        const QString &fault, int minMs, int maxMs, const QString &outcome) {
        QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(name, serial ? "serial" : "network")))
            << serial << options << fault << minMs << maxMs << outcome;
    };
    const QString connectFailed = QStringLiteral("connect false; link ended; ended 1 x; sent ");
    const QString once = connectFailed + "/deviceId";
    const QString thrice = once + " x3";

    // On the terminal the first wait without data ends the link (the port reports a time-out);
    // on the network each of the three attempts waits once.
    const QStringList silent{"--silent-after", "0"};
    row("silent from the start", true, silent, "connect", waitMs, waitMs + marginMs, once);
    row("silent from the start", false, silent, "connect", 3 * waitMs, 3 * waitMs + marginMs,
        thrice);
    // A byte every half second, never a whole reply: each attempt lasts its bound. Started a
    // quarter second late, so the cut-short last wait ends between two bytes: on the terminal
    // that is the port's time-out, and the link ends after one attempt.
    const QStringList trickle{"--chunk-bytes", "1", "--chunk-pause-ms", "500", "--delay-ms", "250"};
    row("reply trickling a byte every 500 ms", true, trickle, "connect", attemptMs,
        attemptMs + marginMs, once);
    // 100 kB: each attempt gives up at 64 KiB, long before any wait ends (8 KiB datagrams).
    row("reply over 64 KiB", false,
        {"--pad-bytes", "100000", "--chunk-bytes", "8192", "--chunk-pause-ms", "0"}, "connect", 0,
        2 * waitMs, thrice);

    // The next poll goes unanswered: one silent wait on the terminal, three attempts on the
    // network; the poll comes within 300 ms.
    const QString unanswered = QStringLiteral("link ended; ended 1 x; sent /stateObject");
    row("silent mid-session", true, {}, "silent on", waitMs, pollMs + waitMs + marginMs,
        unanswered);
    row("silent mid-session", false, {}, "silent on", 3 * waitMs, pollMs + 3 * waitMs + marginMs,
        unanswered + " x3");
    // The third poll in a row without a state ends the link, two poll periods or more after the
    // first; an update has one good poll before it. Counting polls is the same on both
    // transports.
    const QString connected = QStringLiteral("link ended; ended 1 x; sent /deviceId, "
                                             "/vkt/deviceId, /stateObject");
    row("/stateObject not an object", true, {"--bad-state"}, "polls", 2 * pollMs - 100,
        3 * pollMs + marginMs, connected + " x3");
    row("firmware update", false, {}, "flash", 2 * pollMs - 100, 3 * pollMs + marginMs,
        connected + ", /vkt/deviceId, flashfirmware, /stateObject x3");

    // Within one wait: taken at the first attempt (the device's timers may be 5 % early).
    const QString vktConnected = QStringLiteral("sent /deviceId, /vkt/deviceId, /stateObject, ");
    const QString answered = "250, 50; link connected; ended 0 x; " + vktConnected;
    for (bool serial : {true, false})
        row("reply 600 ms late", serial, vktAlone, "delay 600", 540, waitMs + marginMs,
            answered + "/vkt/maxForce, /vkt/maxPosition");
    // Later than a wait: on the network the first reply answers the second attempt, and the
    // second reply, still due, must not answer the next command (on the terminal the silent
    // wait ends the link, as mid-session).
    row("reply 1100 ms late", false, vktAlone, "delay 1100", 990, 2 * waitMs + marginMs,
        answered + "/vkt/maxForce x2, /vkt/maxPosition( x2)?"); // late too, on a loaded machine
    // Each stray arrives while the next exchange waits.
    const QString hbnConnected = QStringLiteral("250, 50; link connected; ended 0 x; sent "
                                                "/deviceId, /vkt/deviceId, /stateObject, "
                                                "/vkt/deviceId, /vkt/maxForce, /vkt/maxPosition");
    row("duplicate reply", false, {"--delay-ms", "200", "--duplicate-ms", "100"}, "", 0, 3000,
        hbnConnected);
    // A boot banner is a stray frame like this one (tst_wire).
    row("unsolicited output: extra prompt", true, {"--extra-prompt-ms", "100"}, "", 0, 3000,
        hbnConnected);
    row("stray datagrams from other ports and addresses", false, vktAlone, "forge", 400,
        waitMs + marginMs, answered + "/vkt/maxForce, /vkt/maxPosition");

    // Far sooner than any silent wait would tell: the port reports the hang-up, the socket the
    // refusal of the next poll's datagram. A VKT alone connects with three commands; the
    // fourth meets the unplugged cable.
    row("pseudo-terminal closed mid-exchange", true, vktAlone + QStringList{"--hangup-after", "3"},
        "", 0, waitMs / 2, "null, null; link ended; ended 1 x; " + vktConnected + "/vkt/maxForce");
    // The link ends on the kill and connects again to the device at the same address.
    for (bool serial : {true, false})
        row("device killed, restarted, reconnected", serial, {}, "restart", 0, pollMs + waitMs / 2,
            "reconnected, 250; link connected; ended 1 x; "
            "then /deviceId, /vkt/deviceId, /stateObject, /vkt/deviceId, /vkt/maxForce");
    // Three commands to connect, then two of the import are answered.
    row("device silent in the middle of an import", true,
        vktAlone + QStringList{"--silent-after", "5"}, "import", waitMs, waitMs + marginMs,
        "import failed; link ended; ended 1 x; " + vktConnected
            + "/vkt/initialForce=10, /vkt/initialMode=1, /vkt/initialPosition=5");
}

void TestFaultMatrix::matrix()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(QString, fault);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);
    QFETCH(QString, outcome);

    // A restarted device answers at the same address: the same host, or on the terminal a link
    // to its new pseudo-terminal at the same path.
    QTemporaryDir dir;
    const QString host = SimProcess::uniqueLoopbackAddress();
    const QString link = dir.filePath("ttyVKT");
    const QStringList arguments =
        QStringList{"--no-tcp", "--udp-address", host}
        + (serial ? QStringList{"--serial", "--link", link} : QStringList()) + options;
    const QString address = serial ? "usb://" + link : "network://" + host;
    SimProcess sim;
    SimProcess restarted;
    QVERIFY(sim.start(arguments));
    RemoteDevice device;
    QSignalSpy ended(&device, &RemoteDevice::deviceDisconnect);
    const bool waitsForTheEnd =
        QStringList{"silent on", "polls", "flash", "restart"}.contains(fault);
    QElapsedTimer clock;
    clock.start();
    qint64 elapsedMs = -1;
    QString result;
    int from = 0; // where the commands that tell start in the trace; -1: a dead device's
    // Forged replies to the link's socket from the device's address on another port, from
    // another address on the device's port and from the plain loopback address.
    std::atomic<bool> forging{true};
    std::atomic<int> forged{0};
    std::thread forger;
    const auto stopForging = [&] {
        forging = false;
        if (forger.joinable())
            forger.join();
    };
    const auto joinForger = qScopeGuard(stopForging);
    if (fault == "connect") {
        result = device.connectDevice(address) ? "connect true" : "connect false";
    } else {
        QVERIFY(device.connectDevice(address));
        device.setPolling(waitsForTheEnd);
        clock.restart();
        if (fault == "forge") {
            QVERIFY(sim.control("delay 400"));
            const QHostAddress to = device.udpSocket()->localAddress();
            const quint16 port = device.udpSocket()->localPort();
            const QHostAddress otherHost(SimProcess::uniqueLoopbackAddress());
            forger = std::thread([&, to, port, otherHost] {
                QUdpSocket sockets[3];
                if (!sockets[0].bind(QHostAddress(host), 0) || !sockets[1].bind(otherHost, 1993)
                    || !sockets[2].bind(QHostAddress(QHostAddress::LocalHost), 0))
                    return;
                for (; forging; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
                    for (QUdpSocket &socket : sockets)
                        forged +=
                            socket.writeDatagram(R"({"data": {"/vkt/maxForce": 999}})", to, port)
                            > 0;
                }
            });
        } else if (fault.startsWith("delay") || fault == "silent on") {
            QVERIFY(sim.control(fault));
            from = fault == "silent on" ? sim.commands().size() : 0;
        } else if (fault == "flash") {
            device.updateFirmware();
        } else if (fault == "restart") {
            sim.kill();
            from = -1;
        }
        if (waitsForTheEnd) {
            QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, maxMs + 3 * waitMs);
        } else if (fault == "import") {
            QBuffer file;
            file.setData(
                R"({"vkt": {"initialForce": 10, "initialMode": 1, "initialPosition": 5}})");
            file.open(QIODevice::ReadOnly);
            clock.restart();
            result = device.loadParameters(&file) ? "import done" : "import failed";
        } else {
            clock.restart();
            result = valueText(device.sendCommand("/vkt/maxForce"));
            elapsedMs = clock.elapsed();
            result += ", " + valueText(device.sendCommand("/vkt/maxPosition"));
        }
    }
    if (elapsedMs < 0)
        elapsedMs = clock.elapsed();
    stopForging();
    QVERIFY2(fault != "forge" || forged >= 30, QByteArray::number(forged.load()));
    if (fault == "restart") {
        QVERIFY(restarted.start(arguments));
        result = device.connectDevice(address) ? "reconnected, " : "not reconnected, ";
        device.setPolling(false);
        result += valueText(device.sendCommand("/vkt/maxForce"));
    }
    const auto seen = [&] {
        QStringList parts{QStringLiteral("link %1").arg(device.isConnected() ? "connected"
                                                        : device.transport() ? "open, unidentified"
                                                                             : "ended"),
                          QStringLiteral("ended %1 x").arg(ended.count())};
        if (!result.isEmpty())
            parts.prepend(result);
        if (from >= 0)
            parts << "sent " + summary(sim.commands().mid(from));
        if (fault == "restart")
            parts << "then " + summary(restarted.commands());
        return parts.join("; ");
    };
    // The trace comes in behind the link.
    const QRegularExpression expected(QRegularExpression::anchoredPattern(outcome));
    static_cast<void>(QTest::qWaitFor([&] { return expected.match(seen()).hasMatch(); }, 2000));
    qCInfo(lcMatrix).noquote()
        << QStringLiteral("MATRIX\t%1\t%2\t%3-%4 ms\t%5\t%6")
               .arg(QString::fromUtf8(QTest::currentDataTag()).section(", ", 0, -2),
                    serial ? "serial" : "network")
               .arg(minMs)
               .arg(maxMs)
               .arg(elapsedMs)
               .arg(seen());
    QVERIFY2(elapsedMs >= minMs && elapsedMs <= maxMs, QByteArray::number(elapsedMs) + " ms");
    QVERIFY2(expected.match(seen()).hasMatch(), qPrintable(seen()));
}

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
