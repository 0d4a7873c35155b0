// vkt-sim over UDP through a plain socket: reply datagrams byte for byte, and its trace.
#include "simprocess.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

class TestSimNetwork : public QObject
{
    Q_OBJECT

private slots:
    void datagrams();
};

void TestSimNetwork::datagrams()
{
    const QString address = SimProcess::uniqueLoopbackAddress();
    SimProcess sim;
    QVERIFY(sim.start({"--udp-address", address, "--no-tcp"}));
    QUdpSocket socket;
    const QVector<QPair<QByteArray, QByteArray>> exchanges{
        {"/vkt/maxForce", R"({"data":{"/vkt/maxForce":250}})"},
        {"/deviceName=Bench-7", R"({"data":{"/deviceName":"Bench-7"}})"},
        {"/no/such", R"({"data":{"/no/such":"Error: unknown path /no/such"}})"}};
    for (const auto &exchange : exchanges) {
        socket.writeDatagram(exchange.first, QHostAddress(address), 1993);
        QVERIFY(socket.hasPendingDatagrams() || socket.waitForReadyRead(SimProcess::replyWaitMs));
        QCOMPARE(socket.receiveDatagram().data(), exchange.second);
    }
    QVERIFY(sim.waitForCommand("/no/such") >= 0);
    QCOMPARE(sim.commands(), QStringList({"/vkt/maxForce", "/deviceName=Bench-7", "/no/such"}));
}

QTEST_GUILESS_MAIN(TestSimNetwork)
#include "tst_simnetwork.moc"
