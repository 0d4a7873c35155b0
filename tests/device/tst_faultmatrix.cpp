#include "remotedevice.h"
#include "signalrecorder.h"
#include "simprocess.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <atomic>
#include <thread>

Q_LOGGING_CATEGORY(lcMatrix, "vkt.matrix", QtInfoMsg)

// The link against a misbehaving simulated device, over a pseudo-terminal and over loopback UDP:
// what each fault ends in, and how soon.
class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void connectSequence_data();
    void connectSequence();
    void faultyFromTheStart_data();
    void faultyFromTheStart();
    void silentMidSession_data();
    void silentMidSession();
    void lateReply_data();
    void lateReply();
    void strayRepliesDropped_data();
    void strayRepliesDropped();
    void pollsWithoutStateEndTheLink_data();
    void pollsWithoutStateEndTheLink();
    void deviceGoes_data();
    void deviceGoes();
    void restartAndReconnect_data();
    void restartAndReconnect();
    void strayDatagramsIgnored();
    void importLosingTheLink();
};

namespace {

constexpr int replyWaitMs = 1000;    // the link's wait for more reply data
constexpr int attemptBoundMs = 3000; // the link's bound on one attempt
constexpr int pollMs = 300;
constexpr int marginMs = 1500; // for a machine shared with parallel builds

const QString deviceId = QStringLiteral("/deviceId");
const QString stateObject = QStringLiteral("/stateObject");
const QString maxForce = QStringLiteral("/vkt/maxForce");
const QString maxPosition = QStringLiteral("/vkt/maxPosition");

QStringList simArguments(bool serial, const QString &host, const QStringList &options)
{
    QStringList arguments{"--no-tcp", "--udp-address", host};
    if (serial)
        arguments << "--serial";
    return arguments + options;
}

// Starts the sim on a loopback address of its own (and a terminal when `serial`); the address
// the link connects to, or an empty text.
QString start(SimProcess &sim, bool serial, const QStringList &options = {})
{
    if (!sim.start(simArguments(serial, SimProcess::uniqueLoopbackAddress(), options)))
        return QString();
    return serial ? sim.address() : sim.networkAddress();
}

bool startAndConnect(SimProcess &sim, RemoteDevice &device, bool serial,
                     const QStringList &options = {})
{
    const QString address = start(sim, serial, options);
    return !address.isEmpty() && device.connectDevice(address);
}

QString transportName(bool serial)
{
    return serial ? QStringLiteral("serial") : QStringLiteral("network");
}

// Rows are named "case, transport"; the case is what the matrix lists.
QTestData &row(const char *name, bool serial)
{
    return QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(name, transportName(serial))))
           << serial;
}

// One machine-readable line per row, read by scripts/fault-matrix: case, transport, the bound
// the row asserts, the time measured, and what was seen.
void report(bool serial, const QString &bound, qint64 measuredMs, const QString &outcome,
            const QString &caseName = QString())
{
    const QString name = caseName.isEmpty()
                             ? QString::fromUtf8(QTest::currentDataTag()).section(", ", 0, -2)
                             : caseName;
    qCInfo(lcMatrix).noquote() << QStringLiteral("MATRIX\t%1\t%2\t%3\t%4\t%5")
                                      .arg(name, transportName(serial), bound)
                                      .arg(measuredMs)
                                      .arg(outcome);
}

QString window(int minMs, int maxMs)
{
    return QStringLiteral("%1-%2 ms").arg(minMs).arg(maxMs);
}

QString linkState(const RemoteDevice &device)
{
    if (device.isConnected())
        return QStringLiteral("connected");
    return device.transport() ? QStringLiteral("open, unidentified") : QStringLiteral("ended");
}

QString valueText(const QJsonValue &value)
{
    if (value.isNull())
        return QStringLiteral("null");
    if (value.isUndefined())
        return QStringLiteral("undefined");
    return RemoteDevice::formatValue(value);
}

bool inWindow(qint64 ms, int minMs, int maxMs)
{
    return ms >= minMs && ms <= maxMs;
}

QByteArray elapsedText(qint64 ms)
{
    return QByteArray::number(ms) + " ms";
}

// The ten state members, whose signals the first poll of a link must all bring.
const QStringList memberSignals{"metricUnitsChanged",      "actualForceChanged",
                                "actualPositionChanged",   "accelGravityChanged",
                                "commandForceChanged",     "commandPositionChanged",
                                "payloadWeightChanged",    "controlModeChanged",
                                "posLimitPositionChanged", "negLimitPositionChanged"};

QStringList signalNames(const QStringList &events)
{
    QStringList names;
    for (const QString &event : events)
        names << event.section(QLatin1Char(' '), 0, 0);
    return names;
}

} // namespace

void TestFaultMatrix::connectSequence_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("commands"); // connecting, then saving the configuration

    // On an HBN unit with a tool, bit 18 of the first state asks for the tool once more.
    row("HBN unit", true) << QStringList()
                          << QStringList{"/deviceId",     "/vkt/deviceId", "/stateObject",
                                         "/vkt/deviceId", "/saveConfig",   "/vkt/saveConfig"};
    row("VKT alone", false) << QStringList{"--device", "vkt"}
                            << QStringList{"/deviceId", "/vkt/deviceId", "/stateObject",
                                           "/saveConfig"};
    row("HBN unit without tool", false)
        << QStringList{"--no-tool"}
        << QStringList{"/deviceId", "/vkt/deviceId", "/stateObject", "/saveConfig"};
}

void TestFaultMatrix::connectSequence()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(QStringList, commands);

    SimProcess sim;
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QVERIFY(startAndConnect(sim, device, serial, options));
    device.setPolling(false);
    QCOMPARE(device.hasDio(), !options.contains("vkt"));
    const int toolCom = options.contains("--no-tool") ? 0 : 1;
    QCOMPARE(recorder.events.mid(0, 3),
             QStringList({"deviceConnect", QStringLiteral("toolComChanged %1").arg(toolCom),
                          "metricUnitsChanged 1"}));
    device.saveConfig();
    QVERIFY(sim.waitForCommand(commands.last(), commands.size() - 1) >= 0);
    QCOMPARE(sim.commands(), commands);
}

void TestFaultMatrix::faultyFromTheStart_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("attempts"); // times "/deviceId" goes out
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");

    // On the terminal the first wait without data ends the link (the port reports a time-out);
    // on the network each of the three attempts waits once.
    const int oneWait = replyWaitMs;
    const int threeWaits = 3 * replyWaitMs;
    const QStringList silent{"--silent-after", "0"};
    row("silent from the start", true) << silent << 1 << oneWait << oneWait + marginMs;
    row("silent from the start", false) << silent << 3 << threeWaits << threeWaits + marginMs;

    // A byte every half second, never a whole reply: each attempt lasts its bound. Started a
    // quarter second late, so the cut-short last wait of an attempt ends between two bytes:
    // on the terminal that is the port's time-out, and the link ends after one attempt.
    const QStringList trickle{"--chunk-bytes", "1", "--chunk-pause-ms", "500", "--delay-ms", "250"};
    row("reply trickling a byte every 500 ms", true)
        << trickle << 1 << attemptBoundMs << attemptBoundMs + marginMs;
    row("reply trickling a byte every 500 ms", false)
        << trickle << 3 << 3 * attemptBoundMs << 3 * attemptBoundMs + marginMs;

    // The answer arrives, the prompt never does.
    row("no prompt", true) << QStringList{"--no-prompt"} << 1 << oneWait << oneWait + marginMs;

    const QStringList garbage{"--garbage"};
    row("garbage", true) << garbage << 1 << oneWait << oneWait + marginMs;
    row("garbage", false) << garbage << 3 << threeWaits << threeWaits + marginMs;

    // Well-formed but 100 kB long: each attempt gives up at 64 KiB, long before any wait ends.
    // A datagram cannot be that long, so on the network the reply comes in 8 KiB pieces.
    const QStringList huge{"--pad-bytes", "100000"};
    row("reply over 64 KiB", true) << huge << 3 << 0 << 2 * oneWait;
    row("reply over 64 KiB", false)
        << huge + QStringList{"--chunk-bytes", "8192", "--chunk-pause-ms", "0"} << 3 << 0
        << 2 * oneWait;

    // The identity, but as the answer to another path: never taken for this one.
    const QStringList otherPath{"--answer-as", "/vkt/maxForce"};
    row("echo of another path", true) << otherPath << 1 << oneWait << oneWait + marginMs;
    row("echo of another path", false) << otherPath << 3 << threeWaits << threeWaits + marginMs;
}

void TestFaultMatrix::faultyFromTheStart()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(int, attempts);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);

    SimProcess sim;
    const QString address = start(sim, serial, options);
    QVERIFY(!address.isEmpty());
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QElapsedTimer clock;
    clock.start();
    const bool connected = device.connectDevice(address);
    const qint64 elapsedMs = clock.elapsed();
    sim.waitForCommand(deviceId, attempts - 1);
    report(serial, window(minMs, maxMs), elapsedMs,
           QStringLiteral("connectDevice %1, link %2, commands sent: %3")
               .arg(connected ? "true" : "false", linkState(device))
               .arg(sim.commands().size()));

    QVERIFY(!connected);
    QVERIFY(!device.transport());
    QCOMPARE(recorder.events, QStringList({"toolComChanged 0", "deviceDisconnect"}));
    QVERIFY2(inWindow(elapsedMs, minMs, maxMs), elapsedText(elapsedMs));
    QCOMPARE(sim.commands(), QVector<QString>(attempts, deviceId).toList());
}

void TestFaultMatrix::silentMidSession_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    // The next poll goes unanswered: one silent wait on the terminal, three attempts of one
    // wait each on the network; the poll comes within 300 ms.
    row("silent mid-session", true) << 1 << replyWaitMs << pollMs + replyWaitMs + marginMs;
    row("silent mid-session", false) << 3 << 3 * replyWaitMs << pollMs + 3 * replyWaitMs + marginMs;
}

void TestFaultMatrix::silentMidSession()
{
    QFETCH(bool, serial);
    QFETCH(int, attempts);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);

    SimProcess sim;
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, serial));
    SignalRecorder recorder(&device);
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    // Polls go on while the control line is answered, so the clock starts before it.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sim.control(QStringLiteral("silent on")));
    const int answered = sim.commands().size();
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, maxMs + 2000);
    const qint64 elapsedMs = clock.elapsed();
    sim.waitForCommand(stateObject, answered + attempts - 1);
    const QStringList unanswered = sim.commands().mid(answered);
    report(serial, window(minMs, maxMs), elapsedMs,
           QStringLiteral("link %1, %2 x /stateObject unanswered")
               .arg(linkState(device))
               .arg(unanswered.size()));

    QVERIFY2(inWindow(elapsedMs, minMs, maxMs), elapsedText(elapsedMs));
    QCOMPARE(recorder.events.mid(recorder.events.size() - 2),
             QStringList({"toolComChanged 0", "deviceDisconnect"}));
    QVERIFY(!device.transport());
    QCOMPARE(unanswered, QVector<QString>(attempts, stateObject).toList());
}

void TestFaultMatrix::lateReply_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("sent"); // times "/vkt/maxForce" goes out
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");

    // Within one wait: taken at the first attempt. The device's timers may be 5 % early.
    row("reply 600 ms late", true) << 600 << 1 << true << 540 << replyWaitMs + marginMs;
    row("reply 600 ms late", false) << 600 << 1 << true << 540 << replyWaitMs + marginMs;
    // Later than a wait: on the network the first reply answers the second attempt, and the
    // second reply, still due, must not answer the next command; on the terminal the silent
    // wait ends the link.
    row("reply 1100 ms late", true) << 1100 << 1 << false << replyWaitMs << replyWaitMs + marginMs;
    row("reply 1100 ms late", false) << 1100 << 2 << true << 990 << 2 * replyWaitMs + marginMs;
}

void TestFaultMatrix::lateReply()
{
    QFETCH(bool, serial);
    QFETCH(int, delayMs);
    QFETCH(int, sent);
    QFETCH(bool, answered);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);

    SimProcess sim;
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, serial, {"--device", "vkt"}));
    device.setPolling(false);
    QVERIFY(sim.control(QStringLiteral("delay %1").arg(delayMs)));
    const int from = sim.commands().size();

    QElapsedTimer clock;
    clock.start();
    const QJsonValue force = device.sendCommand(maxForce);
    const qint64 elapsedMs = clock.elapsed();
    const QJsonValue position = device.sendCommand(maxPosition);
    sim.waitForCommand(maxForce, from + sent - 1);
    const int forceSent = sim.commands().mid(from).count(maxForce);
    report(serial, window(minMs, maxMs), elapsedMs,
           QStringLiteral("%1 (250 asked), next %2 (50 asked), link %3, sent %4 x")
               .arg(valueText(force), valueText(position), linkState(device))
               .arg(forceSent));

    QVERIFY2(inWindow(elapsedMs, minMs, maxMs), elapsedText(elapsedMs));
    QCOMPARE(forceSent, sent);
    QCOMPARE(device.isConnected(), answered);
    QCOMPARE(force, answered ? QJsonValue(250) : QJsonValue(QJsonValue::Null));
    QCOMPARE(position, answered ? QJsonValue(50) : QJsonValue(QJsonValue::Null));
}

void TestFaultMatrix::strayRepliesDropped_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("maxMs"); // connecting and the three exchanges after it

    // Each stray arrives while the next exchange waits.
    row("duplicate reply", false) << QStringList{"--delay-ms", "200", "--duplicate-ms", "100"}
                                  << 5000;
    row("unsolicited output: extra prompt", true)
        << QStringList{"--extra-prompt-ms", "100"} << 3000;
    row("unsolicited output: boot banner", true) << QStringList{"--banner-ms", "100"} << 3000;
}

void TestFaultMatrix::strayRepliesDropped()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(int, maxMs);

    SimProcess sim;
    RemoteDevice device;
    SignalRecorder recorder(&device);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(startAndConnect(sim, device, serial, options));
    device.setPolling(false);

    // Every exchange follows the one before at once, while its stray output is still due.
    const QJsonValue force = device.sendCommand(maxForce);
    const QJsonValue position = device.sendCommand(maxPosition);
    const bool stateIsObject = device.sendCommand(stateObject).isObject();
    const qint64 elapsedMs = clock.elapsed();
    const int from = sim.waitForCommand(maxForce);
    sim.waitForCommand(stateObject, from);
    report(serial, window(0, maxMs), elapsedMs,
           QStringLiteral("%1 and %2 (250, 50 asked), state %3, link %4")
               .arg(valueText(force), valueText(position), stateIsObject ? "an object" : "lost",
                    linkState(device)));

    QVERIFY(recorder.events.contains(QStringLiteral("toolComChanged 1")));
    QVERIFY(recorder.events.contains(QStringLiteral("metricUnitsChanged 1")));
    QCOMPARE(force, QJsonValue(250));
    QCOMPARE(position, QJsonValue(50));
    QVERIFY(stateIsObject);
    QVERIFY2(elapsedMs < maxMs, elapsedText(elapsedMs));
    QVERIFY(device.isConnected());
    QVERIFY(!recorder.events.contains(QStringLiteral("deviceDisconnect")));
    QCOMPARE(sim.commands().mid(from), QStringList({maxForce, maxPosition, stateObject}));
}

void TestFaultMatrix::pollsWithoutStateEndTheLink_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("flash"); // start a firmware update once connected
    row("/stateObject not an object", true) << QStringList{"--bad-state"} << false;
    row("/stateObject not an object", false) << QStringList{"--bad-state"} << false;
    // The update answers nothing but "/deviceId" until the device reboots.
    row("firmware update", true) << QStringList() << true;
    row("firmware update", false) << QStringList() << true;
}

void TestFaultMatrix::pollsWithoutStateEndTheLink()
{
    QFETCH(bool, serial);
    QFETCH(QStringList, options);
    QFETCH(bool, flash);

    SimProcess sim;
    RemoteDevice device;
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QVERIFY(startAndConnect(sim, device, serial, options));
    if (flash)
        device.updateFirmware();
    QElapsedTimer clock;
    clock.start();
    // Polling goes on as usual; the third poll in a row without a state ends the link, two
    // poll periods or more after the first.
    const int minMs = 2 * pollMs - 100;
    const int maxMs = 3 * pollMs + marginMs;
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, maxMs + 2000);
    const qint64 elapsedMs = clock.elapsed();
    // The first poll at connection, then two more; one good one before an update.
    const int polls = flash ? 4 : 3;
    sim.waitForCommand(stateObject, polls - 1);
    const int polled = sim.commands().count(stateObject);
    report(serial, window(minMs, maxMs), elapsedMs,
           QStringLiteral("link %1 after %2 polls").arg(linkState(device)).arg(polled));

    QVERIFY2(inWindow(elapsedMs, minMs, maxMs), elapsedText(elapsedMs));
    QVERIFY(!device.transport());
    QCOMPARE(polled, polls);
}

void TestFaultMatrix::deviceGoes_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<bool>("hangUp"); // the line goes in the middle of an exchange; else killed
    QTest::addColumn<int>("maxMs");
    // Far sooner than any silent wait would tell: the port reports the hang-up, the socket the
    // refusal of the next poll's datagram.
    row("pseudo-terminal closed mid-exchange", true) << true << replyWaitMs / 2;
    row("device process killed", true) << false << pollMs + replyWaitMs / 2;
    row("device process killed", false) << false << pollMs + replyWaitMs / 2;
}

void TestFaultMatrix::deviceGoes()
{
    QFETCH(bool, serial);
    QFETCH(bool, hangUp);
    QFETCH(int, maxMs);

    SimProcess sim;
    RemoteDevice device;
    // A VKT alone connects with three commands; the fourth meets the unplugged cable.
    const QStringList unplugged{"--hangup-after", "3"};
    QVERIFY(startAndConnect(sim, device, serial,
                            QStringList{"--device", "vkt"} + (hangUp ? unplugged : QStringList())));
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QElapsedTimer clock;
    QJsonValue reply;
    if (hangUp) {
        device.setPolling(false);
        clock.start();
        reply = device.sendCommand(maxForce);
    } else {
        clock.start();
        sim.kill();
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, maxMs + 3 * replyWaitMs);
    }
    const qint64 elapsedMs = clock.elapsed();
    if (hangUp)
        sim.waitForCommand(maxForce);
    report(serial, window(0, maxMs), elapsedMs,
           QStringLiteral("link %1, %2 x deviceDisconnect%3")
               .arg(linkState(device))
               .arg(disconnected.count())
               .arg(hangUp ? ", reply " + valueText(reply) : QString()));

    QCOMPARE(disconnected.count(), 1);
    QVERIFY(!device.transport());
    QVERIFY2(elapsedMs <= maxMs, elapsedText(elapsedMs));
    if (hangUp) {
        QVERIFY(reply.isNull());
        QCOMPARE(sim.commands().mid(3), QStringList{maxForce});
    }
}

void TestFaultMatrix::restartAndReconnect_data()
{
    QTest::addColumn<bool>("serial");
    row("device killed, restarted, reconnected", true);
    row("device killed, restarted, reconnected", false);
}

void TestFaultMatrix::restartAndReconnect()
{
    QFETCH(bool, serial);
    // The restarted device answers at the same address: the same host, or on the terminal a
    // link to its new pseudo-terminal at the same path.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString host = SimProcess::uniqueLoopbackAddress();
    const QString linkPath = dir.filePath(QStringLiteral("ttyVKT"));
    const QStringList options =
        simArguments(serial, host, serial ? QStringList{"--link", linkPath} : QStringList());
    const QString address =
        serial ? QStringLiteral("usb://") + linkPath : QStringLiteral("network://") + host;

    RemoteDevice device;
    SimProcess first;
    QVERIFY(first.start(options));
    QVERIFY(device.connectDevice(address));
    QSignalSpy disconnected(&device, &RemoteDevice::deviceDisconnect);
    QElapsedTimer clock;
    clock.start();
    first.kill();
    const int maxMs = pollMs + replyWaitMs / 2;
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, maxMs + 3 * replyWaitMs);
    const qint64 endedMs = clock.elapsed();

    SimProcess second;
    QVERIFY(second.start(options));
    SignalRecorder recorder(&device);
    const bool reconnected = device.connectDevice(address);
    device.setPolling(false);
    const QJsonValue force = device.sendCommand(maxForce);
    const QStringList names = signalNames(recorder.events);
    int membersSignalled = 0;
    for (const QString &member : memberSignals)
        membersSignalled += names.contains(member) ? 1 : 0;
    report(serial, window(0, maxMs), endedMs,
           QStringLiteral("ended once; reconnect %1, first poll signals %2 of 10 members, %3")
               .arg(reconnected ? "true" : "false")
               .arg(membersSignalled)
               .arg(valueText(force)));

    QVERIFY2(endedMs <= maxMs, elapsedText(endedMs));
    QVERIFY(reconnected);
    QVERIFY(device.isConnected());
    QCOMPARE(recorder.events.mid(0, 2), QStringList({"deviceConnect", "toolComChanged 1"}));
    // Every member, in table order, though the new device reports the same values as the old.
    QStringList members = names;
    members.erase(std::remove_if(members.begin(), members.end(),
                                 [](const QString &name) { return !memberSignals.contains(name); }),
                  members.end());
    QCOMPARE(members, memberSignals);
    QCOMPARE(force, QJsonValue(250));
    QVERIFY(second.waitForCommand(maxForce) >= 0);
    QCOMPARE(second.commands().mid(0, 3), QStringList({deviceId, "/vkt/deviceId", stateObject}));
}

// Forged replies from other ports and addresses while an exchange waits: the link hears only its
// device.
void TestFaultMatrix::strayDatagramsIgnored()
{
    SimProcess sim;
    RemoteDevice device;
    QVERIFY(startAndConnect(sim, device, false, {"--device", "vkt"}));
    device.setPolling(false);
    const int delayMs = 400;
    QVERIFY(sim.control(QStringLiteral("delay %1").arg(delayMs)));
    const QHostAddress linkAddress = device.udpSocket()->localAddress();
    const quint16 linkPort = device.udpSocket()->localPort();
    const QHostAddress simAddress(sim.networkAddress().remove(QStringLiteral("network://")));
    const QHostAddress otherAddress(SimProcess::uniqueLoopbackAddress());

    std::atomic<bool> stop{false};
    std::atomic<int> forged{0};
    std::thread sender([&] {
        // The device's address from another port, another address from the device's port, and
        // the plain loopback address.
        QUdpSocket fromDeviceHost;
        QUdpSocket fromDevicePort;
        QUdpSocket fromLoopback;
        if (!fromDeviceHost.bind(simAddress, 0) || !fromDevicePort.bind(otherAddress, 1993)
            || !fromLoopback.bind(QHostAddress(QHostAddress::LocalHost), 0))
            return;
        const QByteArray reply = R"({"data": {"/vkt/maxForce": 999}})";
        while (!stop) {
            for (QUdpSocket *socket : {&fromDeviceHost, &fromDevicePort, &fromLoopback}) {
                if (socket->writeDatagram(reply, linkAddress, linkPort) == reply.size())
                    ++forged;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    QElapsedTimer clock;
    clock.start();
    const QJsonValue force = device.sendCommand(maxForce);
    const qint64 elapsedMs = clock.elapsed();
    stop = true;
    sender.join();
    sim.waitForCommand(maxForce);
    report(false, window(delayMs, replyWaitMs + marginMs), elapsedMs,
           QStringLiteral("%1 (250 asked) with %2 forged datagrams about, link %3")
               .arg(valueText(force))
               .arg(forged.load())
               .arg(linkState(device)),
           QStringLiteral("stray datagrams from other ports and addresses"));

    QVERIFY2(forged >= 30, QByteArray::number(forged.load()));
    QCOMPARE(force, QJsonValue(250));
    QVERIFY2(inWindow(elapsedMs, delayMs, replyWaitMs + marginMs), elapsedText(elapsedMs));
    QVERIFY(device.isConnected());
    QCOMPARE(sim.commands().count(maxForce), 1);
}

void TestFaultMatrix::importLosingTheLink()
{
    SimProcess sim;
    RemoteDevice device;
    // Three commands to connect, then two of the import are answered.
    QVERIFY(startAndConnect(sim, device, true, {"--device", "vkt", "--silent-after", "5"}));
    device.setPolling(false);
    QBuffer file;
    file.setData(R"({"vkt": {"initialForce": 10, "initialMode": 1, "initialPosition": 5}})");
    file.open(QIODevice::ReadOnly);
    QElapsedTimer clock;
    clock.start();
    const bool loaded = device.loadParameters(&file);
    const qint64 elapsedMs = clock.elapsed();
    report(true, window(replyWaitMs, replyWaitMs + marginMs), elapsedMs,
           QStringLiteral("import %1, link %2").arg(loaded ? "done" : "failed", linkState(device)),
           QStringLiteral("device silent in the middle of an import"));

    QVERIFY(!loaded);
    QVERIFY(!device.isConnected());
    QVERIFY2(inWindow(elapsedMs, replyWaitMs, replyWaitMs + marginMs), elapsedText(elapsedMs));
    QVERIFY(sim.waitForCommand(QStringLiteral("/vkt/initialPosition=5")) >= 0);
    QCOMPARE(sim.commands().mid(3),
             QStringList({"/vkt/initialForce=10", "/vkt/initialMode=1", "/vkt/initialPosition=5"}));
}

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
