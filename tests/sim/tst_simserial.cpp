// vkt-sim's pseudo-terminal, driven with a plain QSerialPort: golden byte sequences of the
// terminal protocol and the faults a serial client must survive.
#include "simprocess.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const QByteArray prompt("\r\n>>");

bool openPort(QSerialPort *port, const QString &name)
{
    port->setPortName(name);
    if (!port->open(QIODevice::ReadWrite))
        return false;
    port->setBaudRate(QSerialPort::Baud115200);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

// Reads until the bytes end with `until` (or the wait runs out); counts the separate arrivals.
QByteArray readUntil(QSerialPort *port, const QByteArray &until, int *arrivals = nullptr,
                     int timeoutMs = SimProcess::replyWaitMs)
{
    QByteArray bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (!bytes.endsWith(until) && !deadline.hasExpired()) {
        if (port->bytesAvailable() == 0 &&
            !port->waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        bytes += port->readAll();
        if (arrivals)
            ++*arrivals;
    }
    return bytes;
}

QByteArray exchange(QSerialPort *port, const QByteArray &line, const QByteArray &until = prompt)
{
    port->write(line);
    port->waitForBytesWritten(SimProcess::replyWaitMs);
    return readUntil(port, until);
}

// True when nothing at all arrives for a while: the only way to see silence.
bool staysQuiet(QSerialPort *port, int ms)
{
    return !port->waitForReadyRead(ms) && port->readAll().isEmpty();
}

// Bytes the sim wrote to the line that no client has read yet.
int unreadBytes(const QString &portName)
{
    const int fd = ::open(portName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int unread = -1;
    if (fd >= 0 && ::ioctl(fd, FIONREAD, &unread) != 0)
        unread = -1;
    if (fd >= 0)
        ::close(fd);
    return unread;
}

} // namespace

class TestSimSerial : public QObject
{
    Q_OBJECT

private slots:
    void goldenExchanges_data();
    void goldenExchanges();
    void weighErrorIsPlainText();
    void silentAfterGoesQuiet();
    void noPromptNeverSendsPrompt();
    void chunkedReplyArrivesWhole();
    void linkServesReopenedClientsAndGoesAtExit();
    void outputNobodyReadIsNotServedLater();
};

void TestSimSerial::goldenExchanges_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("query") << QByteArray("/vkt/maxForce\r\n")
                           << QByteArray("/vkt/maxForce\r\n250\r\n>>");
    QTest::newRow("set") << QByteArray("/vkt/commandForce=25\r\n")
                         << QByteArray("/vkt/commandForce=25\r\n25\r\n>>");
    QTest::newRow("bare CR") << QByteArray("\r") << QByteArray("\r\n>>");
    QTest::newRow("LF only ends a line too")
        << QByteArray("/vkt/maxPosition\n") << QByteArray("/vkt/maxPosition\r\n50\r\n>>");
    QTest::newRow("unknown path")
        << QByteArray("/nothing/here\r\n")
        << QByteArray("/nothing/here\r\nError: unknown path /nothing/here\r\n>>");
    QTest::newRow("backspace edits the line")
        << QByteArray("/vkt/maxForcX\be\r\n") << QByteArray("/vkt/maxForcX\b \be\r\n250\r\n>>");
    QTest::newRow("string answer is JSON")
        << QByteArray("/deviceName=Bench-7\r\n")
        << QByteArray("/deviceName=Bench-7\r\n\"Bench-7\"\r\n>>");
}

void TestSimSerial::goldenExchanges()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    SimProcess sim({"--serial", "--no-udp", "--no-tcp", "--max-force", "250"});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(&port, sim.valueOf("serial: ")));
    QCOMPARE(exchange(&port, written), expected);
}

void TestSimSerial::weighErrorIsPlainText()
{
    SimProcess sim({"--serial", "--no-udp", "--no-tcp", "--weigh-error"});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(&port, sim.valueOf("serial: ")));
    const QByteArray reply = exchange(&port, "/vkt/weighPayload\r\n");
    QVERIFY2(reply.startsWith("/vkt/weighPayload\r\nError"), reply.constData());
    QVERIFY(reply.endsWith(prompt));
}

void TestSimSerial::silentAfterGoesQuiet()
{
    SimProcess sim({"--serial", "--no-udp", "--no-tcp", "--silent-after", "2"});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(&port, sim.valueOf("serial: ")));
    QVERIFY(exchange(&port, "/vkt/maxForce\r\n").endsWith("250\r\n>>"));
    QVERIFY(exchange(&port, "/deviceId\r\n").endsWith(prompt));
    port.write("/vkt/maxForce\r\n");
    QVERIFY2(staysQuiet(&port, 700), "a third command was answered or echoed");
}

void TestSimSerial::noPromptNeverSendsPrompt()
{
    SimProcess sim({"--serial", "--no-udp", "--no-tcp", "--no-prompt"});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(&port, sim.valueOf("serial: ")));
    QByteArray reply = exchange(&port, "/vkt/maxForce\r\n", "250\r\n");
    QCOMPARE(reply, QByteArray("/vkt/maxForce\r\n250\r\n"));
    reply += exchange(&port, "\r", "\r\n");
    QVERIFY(staysQuiet(&port, 300));
    QVERIFY(!reply.contains(">>"));
}

void TestSimSerial::chunkedReplyArrivesWhole()
{
    SimProcess sim(
        {"--serial", "--no-udp", "--no-tcp", "--chunk-bytes", "4", "--chunk-pause-ms", "40"});
    QVERIFY(sim.start());
    QSerialPort port;
    QVERIFY(openPort(&port, sim.valueOf("serial: ")));
    port.write("/vkt/maxForce\r\n");
    int arrivals = 0;
    QCOMPARE(readUntil(&port, prompt, &arrivals), QByteArray("/vkt/maxForce\r\n250\r\n>>"));
    // the echo, then "\r\n25", "0\r\n>", ">" each after a pause
    QVERIFY2(arrivals >= 3, qPrintable(QString::number(arrivals)));
}

void TestSimSerial::linkServesReopenedClientsAndGoesAtExit()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("vkt0");
    SimProcess sim({"--link", link, "--no-udp", "--no-tcp"});
    QVERIFY(sim.start());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.valueOf("serial: "));
    for (int client = 0; client < 2; ++client) {
        QSerialPort port;
        QVERIFY(openPort(&port, link));
        QCOMPARE(exchange(&port, "/vkt/maxForce\r\n"), QByteArray("/vkt/maxForce\r\n250\r\n>>"));
    }
    sim.process.terminate();
    QVERIFY(sim.process.waitForFinished(SimProcess::replyWaitMs));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void TestSimSerial::outputNobodyReadIsNotServedLater()
{
    // A client that leaves before its reply must not hand that reply to the next client.
    SimProcess sim({"--serial", "--no-udp", "--no-tcp", "--delay-ms", "200"});
    QVERIFY(sim.start());
    const QString name = sim.valueOf("serial: ");
    {
        QSerialPort leaving;
        QVERIFY(openPort(&leaving, name));
        leaving.write("/deviceId\r\n");
        QVERIFY(leaving.waitForBytesWritten(SimProcess::replyWaitMs));
    }
    QTRY_VERIFY_WITH_TIMEOUT(unreadBytes(name) > 0, SimProcess::replyWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(unreadBytes(name), 0, 5000);
    QSerialPort next;
    QVERIFY(openPort(&next, name));
    QCOMPARE(exchange(&next, "/vkt/maxForce\r\n"), QByteArray("/vkt/maxForce\r\n250\r\n>>"));
}

QTEST_GUILESS_MAIN(TestSimSerial)
#include "tst_simserial.moc"
