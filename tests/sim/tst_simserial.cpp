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
const QByteArray maxForceReply("/vkt/maxForce\r\n250\r\n>>");

bool openPort(QSerialPort *port, const QString &name)
{
    port->setPortName(name);
    return port->open(QIODevice::ReadWrite) && port->setBaudRate(QSerialPort::Baud115200);
}

// Writes `line` and reads until the bytes end with `until` (when given) or nothing arrives for
// `quietMs`; counts the separate arrivals.
QByteArray exchange(QSerialPort *port, const QByteArray &line, const QByteArray &until = prompt,
                    int *arrivals = nullptr, int quietMs = SimProcess::replyWaitMs)
{
    port->write(line);
    QByteArray bytes;
    while ((until.isEmpty() || !bytes.endsWith(until))
           && (port->bytesAvailable() || port->waitForReadyRead(quietMs))) {
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
    void faults_data();
    void faults();
    void linkServesReopenedClientsAndGoesAtExit();
    void outputNobodyReadIsNotServedLater();
};

void TestSimSerial::goldenExchanges_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("query") << QStringList() << QByteArray("/vkt/maxForce\r\n") << maxForceReply;
    QTest::newRow("set") << QStringList() << QByteArray("/vkt/commandForce=25\r\n")
                         << QByteArray("/vkt/commandForce=25\r\n25\r\n>>");
    QTest::newRow("bare CR") << QStringList() << QByteArray("\r") << prompt;
    QTest::newRow("unknown path")
        << QStringList() << QByteArray("/nothing/here\r\n")
        << QByteArray("/nothing/here\r\nError: unknown path /nothing/here\r\n>>");
    QTest::newRow("backspace edits the line") << QStringList() << QByteArray("/vkt/maxForcX\be\n")
                                              << QByteArray("/vkt/maxForcX\b \be\r\n250\r\n>>");
    QTest::newRow("string answer is JSON")
        << QStringList() << QByteArray("/deviceName=Bench-7\r\n")
        << QByteArray("/deviceName=Bench-7\r\n\"Bench-7\"\r\n>>");
    QTest::newRow("weigh error is plain text")
        << QStringList{"--weigh-error"} << QByteArray("/vkt/weighPayload\r\n")
        << QByteArray("/vkt/weighPayload\r\nError: weighing cannot start: air pressure low\r\n>>");
}

void TestSimSerial::goldenExchanges()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + options));
    QSerialPort port;
    QVERIFY(openPort(&port, sim.serialPath()));
    QCOMPARE(exchange(&port, written), expected);
}

void TestSimSerial::faults_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("third");
    QTest::addColumn<int>("minArrivals");
    QTest::newRow("silent after one") << QStringList{"--silent-after", "1"} << maxForceReply
                                      << QByteArray() << 1;
    QTest::newRow("no prompt") << QStringList{"--no-prompt"}
                               << QByteArray("/vkt/maxForce\r\n250\r\n") << QByteArray("\r\n") << 1;
    // the echo, then "\r\n25", "0\r\n>", ">" each after a pause
    QTest::newRow("chunked") << QStringList{"--chunk-bytes", "4", "--chunk-pause-ms", "40"}
                             << maxForceReply << prompt << 3;
}

void TestSimSerial::faults()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, third);
    QFETCH(int, minArrivals);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + options));
    QSerialPort port;
    QVERIFY(openPort(&port, sim.serialPath()));
    int arrivals = 0;
    QCOMPARE(exchange(&port, "/vkt/maxForce\r\n", second, &arrivals), second);
    QVERIFY2(arrivals >= minArrivals, qPrintable(QString::number(arrivals)));
    // everything that comes for a bare CR: silence shows only as nothing arriving for a while
    QCOMPARE(exchange(&port, "\r", QByteArray(), nullptr, 700), third);
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
