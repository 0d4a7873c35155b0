// vkt-sim's pseudo-terminal, driven with a plain QSerialPort: golden byte sequences of the
// terminal protocol and the faults a serial client must survive.
#include "simprocess.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const QByteArray prompt("\r\n>>");
const QByteArray maxForceReply("/vkt/maxForce\r\n250\r\n>>");

bool openPort(QSerialPort *port, const QString &name)
{
    port->setPortName(name);
    return port->open(QIODevice::ReadWrite) && port->setBaudRate(QSerialPort::Baud115200);
}

// Writes `line` and reads until the bytes end with `until`; counts the separate arrivals.
QByteArray exchange(QSerialPort *port, const QByteArray &line, const QByteArray &until = prompt,
                    int *arrivals = nullptr)
{
    port->write(line);
    QByteArray bytes;
    while (!bytes.endsWith(until)
           && (port->bytesAvailable() || port->waitForReadyRead(SimProcess::replyWaitMs))) {
        bytes += port->readAll();
        if (arrivals)
            ++*arrivals;
    }
    return bytes;
}

// Bytes the sim wrote to the line that no client has read yet.
int unreadBytes(const QString &portName)
{
    const int fd = ::open(portName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int unread = -1; // stays so when the line cannot be asked
    if (fd >= 0) {
        ::ioctl(fd, FIONREAD, &unread);
        ::close(fd);
    }
    return unread;
}

} // namespace

class TestSimSerial : public QObject
{
    Q_OBJECT

private slots:
    void exchanges_data();
    void exchanges();
    void linkServesReopenedClientsAndGoesAtExit();
    void outputNobodyReadIsNotServedLater();
};

void TestSimSerial::exchanges_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected"); // and nothing after it
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("minArrivals");
    const auto row = [](const char *name, const QByteArray &written, const QByteArray &expected,
                        const QStringList &options = {}, int minArrivals = 1) {
        QTest::newRow(name) << written << expected << options << minArrivals;
    };
    row("query", "/vkt/maxForce\r\n", maxForceReply);
    row("set", "/vkt/commandForce=25\r\n", "/vkt/commandForce=25\r\n25\r\n>>");
    row("bare CR", "\r", prompt);
    row("unknown path", "/nothing/here\r\n",
        "/nothing/here\r\nError: unknown path /nothing/here\r\n>>");
    row("backspace edits the line, control bytes are ignored",
        "/vkt/maxForcX\b\x01"
        "e\n",
        "/vkt/maxForcX\b \be\r\n250\r\n>>");
    row("string answer is JSON", "/deviceName=Bench-7\r\n",
        "/deviceName=Bench-7\r\n\"Bench-7\"\r\n>>");
    row("weigh error is plain text", "/vkt/weighPayload\r\n",
        "/vkt/weighPayload\r\nError: weighing cannot start: air pressure low\r\n>>",
        {"--weigh-error"});
    row("silent after one", "/vkt/maxForce\r\n\r", maxForceReply, {"--silent-after", "1"});
    row("no prompt, not even for a bare CR", "/vkt/maxForce\r\n\r", "/vkt/maxForce\r\n250\r\n\r\n",
        {"--no-prompt"});
    // the echo, then "\r\n25", "0\r\n>", ">" each after a pause
    row("chunked", "/vkt/maxForce\r\n", maxForceReply,
        {"--chunk-bytes", "4", "--chunk-pause-ms", "40"}, 3);
    row("every reply dropped, the typed echo stays", "/vkt/maxForce\r\n", "/vkt/maxForce",
        {"--drop-percent", "100"});
}

void TestSimSerial::exchanges()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    QFETCH(int, minArrivals);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + options));
    QSerialPort port;
    QVERIFY(openPort(&port, sim.serialPath()));
    int arrivals = 0;
    QCOMPARE(exchange(&port, written, expected, &arrivals), expected);
    QVERIFY2(arrivals >= minArrivals, qPrintable(QString::number(arrivals)));
    QVERIFY(!port.waitForReadyRead(500));
}

void TestSimSerial::linkServesReopenedClientsAndGoesAtExit()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("vkt0");
    SimProcess sim;
    QVERIFY(sim.start({"--link", link, "--no-udp", "--no-tcp"}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.serialPath());
    for (int client = 0; client < 2; ++client) {
        QSerialPort port;
        QVERIFY(openPort(&port, link));
        QCOMPARE(exchange(&port, "/vkt/maxForce\r\n"), maxForceReply);
    }
    sim.process().terminate();
    QVERIFY(sim.process().waitForFinished(SimProcess::replyWaitMs));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimSerial::outputNobodyReadIsNotServedLater()
{
    // A client that leaves before its reply must not hand that reply to the next client.
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + QStringList{"--delay-ms", "200"}));
    {
        QSerialPort leaving;
        QVERIFY(openPort(&leaving, sim.serialPath()));
        leaving.write("/deviceId\r\n");
        QVERIFY(leaving.waitForBytesWritten(SimProcess::replyWaitMs));
    }
    QTRY_VERIFY_WITH_TIMEOUT(unreadBytes(sim.serialPath()) > 0, SimProcess::replyWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(unreadBytes(sim.serialPath()), 0, SimProcess::replyWaitMs);
    QSerialPort next;
    QVERIFY(openPort(&next, sim.serialPath()));
    QCOMPARE(exchange(&next, "/vkt/maxForce\r\n"), maxForceReply);
}

QTEST_GUILESS_MAIN(TestSimSerial)
#include "tst_simserial.moc"
