// vkt-sim's pseudo-terminal through a plain QSerialPort: the terminal protocol byte for byte.
#include "simprocess.h"

#include <QSerialPort>
#include <QtTest>

class TestSimSerial : public QObject
{
    Q_OBJECT

private slots:
    void exchanges_data();
    void exchanges();
};

void TestSimSerial::exchanges_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected"); // and nothing after it
    QTest::addColumn<QStringList>("options");
    const auto row = [](const char *name, const QByteArray &written, const QByteArray &expected,
                        const QStringList &options = {}) {
        QTest::newRow(name) << written << expected << options;
    };
    row("query", "/vkt/maxForce\r\n", "/vkt/maxForce\r\n250\r\n>>");
    row("set", "/vkt/commandForce=25\r\n", "/vkt/commandForce=25\r\n25\r\n>>");
    row("bare CR", "\r", "\r\n>>");
    row("unknown path", "/nothing/here\r\n",
        "/nothing/here\r\nError: unknown path /nothing/here\r\n>>");
    row("backspace edits the line, control bytes are ignored",
        "/vkt/maxForcX\b\x01"
        "e\n",
        "/vkt/maxForcX\b \be\r\n250\r\n>>");
    row("string answer is JSON", "/deviceName=Bench-7\r\n",
        "/deviceName=Bench-7\r\n\"Bench-7\"\r\n>>");
    row("every reply dropped, the typed echo stays", "/vkt/maxForce\r\n", "/vkt/maxForce",
        {"--drop-percent", "100"});
}

void TestSimSerial::exchanges()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    SimProcess sim;
    QVERIFY(sim.start(SimProcess::serialOnly() + options));
    QSerialPort port(sim.serialPath());
    QVERIFY(port.open(QIODevice::ReadWrite) && port.setBaudRate(QSerialPort::Baud115200));
    port.write(written);
    QByteArray bytes;
    while (!bytes.endsWith(expected)
           && (port.bytesAvailable() || port.waitForReadyRead(SimProcess::replyWaitMs)))
        bytes += port.readAll();
    QCOMPARE(bytes, expected);
    QVERIFY(!port.waitForReadyRead(500));
}

QTEST_GUILESS_MAIN(TestSimSerial)
#include "tst_simserial.moc"
