// The simulated device's parts without a process: the physical model, the weighing, and
// command routing with its refusals.
#include "payloadscale.h"
#include "physicsmodel.h"
#include "simdevice.h"

#include <QtTest>

class TestSimModel : public QObject
{
    Q_OBJECT

private slots:
    void physics();
    void weighing_data();
    void weighing();
    void routing_data();
    void routing();
};

void TestSimModel::physics()
{
    // The force follows its command (capped at the rating) and pushes the carriage to the end
    // of its stroke, never past it.
    PhysicsModel model(250, 50, 7);
    model.setForceMode(true);
    model.setCommandForce(1000);
    QCOMPARE(model.commandForce(), 250.0);
    model.advance(3);
    QCOMPARE(model.actualPosition(), 50.0);
    QVERIFY(qAbs(model.actualForce() - 250) < 2);
}

void TestSimModel::weighing_data()
{
    QTest::addColumn<bool>("failing");
    QTest::addColumn<double>("result");
    QTest::newRow("good") << false << 4.0;
    QTest::newRow("failing") << true << 0.0;
}

void TestSimModel::weighing()
{
    QFETCH(bool, failing);
    QFETCH(double, result);
    PayloadScale scale(4.0, failing, 3);
    scale.start();
    QVERIFY(!scale.advance(PayloadScale::weighingS - 0.1));
    QVERIFY(scale.weight() < 0);
    QVERIFY(scale.advance(0.2));
    QVERIFY(qAbs(scale.weight() - result) <= 0.02);
}

void TestSimModel::routing_data()
{
    QTest::addColumn<bool>("standalone");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer"); // compact JSON, or the plain text
    QTest::newRow("hbn has no tool net") << false << "/vkt/net/dhcp=1"
                                         << "Error: unknown path /vkt/net/dhcp";
    QTest::newRow("read-only") << false << "/vkt/maxForce=5"
                               << "Error: /vkt/maxForce cannot be set";
    QTest::newRow("fraction above 1") << false << "/vkt/softTouchForce=1.5"
                                      << "Error: invalid value 1.5 for softTouchForce";
    QTest::newRow("vkt own net") << true << "/vkt/net/timeout=12"
                                 << "12";
}

void TestSimModel::routing()
{
    QFETCH(bool, standalone);
    QFETCH(QString, command);
    QFETCH(QString, answer);
    SimDevice::Settings settings;
    settings.standalone = standalone;
    SimDevice device(settings);
    QString error;
    QVERIFY(device.start(&error));
    const QString path = command.section('=', 0, 0);
    const QByteArray before = device.handle(path).terminalBytes();
    QCOMPARE(QString::fromUtf8(device.handle(command).terminalBytes()), answer);
    if (answer.startsWith("Error")) // a refused setting changes nothing
        QCOMPARE(device.handle(path).terminalBytes(), before);
}

QTEST_GUILESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
