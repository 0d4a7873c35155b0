// The simulated device without a process: the physical model, command routing and refusals,
// and its command line.
#include "physicsmodel.h"
#include "simdevice.h"
#include "simoptions.h"

#include <QtTest>

class TestSimModel : public QObject
{
    Q_OBJECT

private slots:
    void physics();
    void routing_data();
    void routing();
    void options_data();
    void options();
};

void TestSimModel::physics()
{
    // The force follows its command up to the rating; the carriage stops at the stroke's end.
    PhysicsModel model(250, 50, 7);
    model.setForceMode(true);
    model.setCommandForce(1000);
    QCOMPARE(model.commandForce(), 250.0);
    model.advance(3);
    QCOMPARE(model.actualPosition(), 50.0);
    QVERIFY(qAbs(model.actualForce() - 250) < 2);
}

void TestSimModel::routing_data()
{
    QTest::addColumn<bool>("standalone");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
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

void TestSimModel::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error"); // empty: the sim runs
    QTest::addColumn<bool>("serial");
    const auto row = [](const char *name, const QStringList &arguments, const QString &error,
                        bool serial = false) {
        QTest::newRow(name) << arguments << error << serial;
    };
    row("default", {}, "");
    row("link implies serial", {"--link", "/tmp/sim-link"}, "", true);
    row("out of range", {"--drop-percent", "101"}, "invalid value for --drop-percent: 101");
    row("not whole", {"--udp-port", "1.5"}, "--udp-port takes a whole number");
    row("bad address", {"--udp-address", "host"}, "invalid --udp-address host");
    row("bad kind", {"--device", "abc"}, "--device takes vkt or hbn, not abc");
    row("input outside the word", {"--inputs", "128"}, "--inputs takes bits 0-6 and 8 only");
    row("positional argument", {"x"}, "unexpected argument x");
}

void TestSimModel::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    SimOptions options;
    const SimOptions::Outcome outcome = options.parse(QStringList{"vkt-sim"} + arguments);
    QCOMPARE(options.errorText(), error);
    QCOMPARE(outcome, error.isEmpty() ? SimOptions::Outcome::Run : SimOptions::Outcome::Error);
    QTEST(options.serial, "serial");
}

QTEST_GUILESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
