#include "mainwindow.h"
#include "modalanswerer.h"
#include "simprocess.h"
#include "startupsequence.h"

#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

// Ends the event loop that `run` enters, with `status`, after calling `inspect`.
void quitLoopSoon(int status, const std::function<void()> &inspect = [] {})
{
    QTimer::singleShot(0, qApp, [status, inspect] {
        inspect();
        QCoreApplication::exit(status);
    });
}

} // namespace

class TestStartupSequence : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void identity();
    void addressArgument_data();
    void addressArgument();
    void connectsToCommandLineAddress();
    void failedAddressEndsWithStatus_data();
    void failedAddressEndsWithStatus();
    void runsDisconnectedWithoutAddress();
};

void TestStartupSequence::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void TestStartupSequence::identity()
{
    StartupSequence::setApplicationIdentity();
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("VKT Dashboard"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Tarnwell"));
    QCOMPARE(QCoreApplication::organizationDomain(), QStringLiteral("tarnwell.example"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("VKT Dashboard"));
    QCOMPARE(QSettings::defaultFormat(), QSettings::IniFormat);
}

void TestStartupSequence::addressArgument_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<bool>("given");
    QTest::addColumn<QString>("address");

    QTest::newRow("none") << QList<QByteArray>{"vkt-dashboard"} << false << QString();
    QTest::newRow("empty") << QList<QByteArray>{"vkt-dashboard", ""} << true << QString("");
    QTest::newRow("utf-8") << QList<QByteArray>{"vkt-dashboard", "network://gerät"} << true
                           << QString::fromUtf8("network://gerät");
    QTest::newRow("only the first")
            << QList<QByteArray>{"vkt-dashboard", "usb://ttyS0", "network://other"} << true
            << QString("usb://ttyS0");
}

void TestStartupSequence::addressArgument()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(bool, given);
    QFETCH(QString, address);

    QVector<char *> argv;
    for (QByteArray &argument : arguments)
        argv << argument.data();
    argv << nullptr;
    const std::optional<QString> result =
            StartupSequence::addressArgument(arguments.size(), argv.data());
    QCOMPARE(result.has_value(), given);
    if (given)
        QCOMPARE(*result, address);
}

void TestStartupSequence::connectsToCommandLineAddress()
{
    SimProcess sim;
    QVERIFY(sim.start({"--device", "hbn"}));
    ModalAnswerer answerer;
    MainWindow window;

    bool visible = false;
    bool connected = false;
    QString buttonText;
    quitLoopSoon(7, [&] {
        visible = window.isVisible();
        connected = window.remoteDevice.isConnected();
        buttonText = window.connectionButton->text();
    });
    QCOMPARE(StartupSequence::run(window, sim.address()), 7);
    QVERIFY(visible);
    QVERIFY(connected);
    QCOMPARE(buttonText,
             window.remoteDevice.deviceIdRecord().value(QStringLiteral("deviceName")).toString());
    QVERIFY(answerer.boxes().isEmpty());
}

void TestStartupSequence::failedAddressEndsWithStatus_data()
{
    QTest::addColumn<QString>("address");

    QTest::newRow("no scheme") << "ttyS0";
    QTest::newRow("empty") << "";
    QTest::newRow("port that does not open") << "usb:///nonexistent/ttyVKT";
}

void TestStartupSequence::failedAddressEndsWithStatus()
{
    QFETCH(QString, address);

    ModalAnswerer answerer;
    MainWindow window;
    // Should the loop be entered after all, it ends instead of hanging the test.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    QCOMPARE(StartupSequence::run(window, address), StartupSequence::connectFailedStatus);
    QCOMPARE(StartupSequence::connectFailedStatus, -1);
    QVERIFY(window.isVisible());
    QVERIFY(!window.remoteDevice.isConnected());

    QCOMPARE(answerer.boxes().size(), 1);
    const SeenBox &box = answerer.boxes()[0];
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.title, QStringLiteral("VKT Dashboard"));
    QCOMPARE(box.text, QStringLiteral("Error connecting to \"") + address + QLatin1Char('"'));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.parent, nullptr);
}

void TestStartupSequence::runsDisconnectedWithoutAddress()
{
    ModalAnswerer answerer;
    MainWindow window;
    bool visible = false;
    quitLoopSoon(0, [&] { visible = window.isVisible(); });
    QCOMPARE(StartupSequence::run(window, std::nullopt), 0);
    QVERIFY(visible);
    QVERIFY(!window.remoteDevice.isConnected());
    QCOMPARE(window.connectionButton->text(), QStringLiteral("CONNECT"));
    QVERIFY(answerer.boxes().isEmpty());
}

QTEST_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
