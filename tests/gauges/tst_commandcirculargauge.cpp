#include "commandcirculargauge.h"
#include "gaugeprobe.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// Operator interaction with the command gauge: clicks (also the one that activates the window),
// steps, long presses.
class TestCommandCircularGauge : public QObject
{
    Q_OBJECT

private slots:
    void clickSetsCommand_data();
    void clickSetsCommand();
    void onlyTheActivatingClickIsSwallowed_data();
    void onlyTheActivatingClickIsSwallowed();
    void commandValues();
    void commandModeShowsNeedleAndButtons();
    void longPress_data();
    void longPress();
    void holdingPlusRepeats();
};

using Probe = GaugeProbe<CommandCircularGauge>;

void TestCommandCircularGauge::clickSetsCommand_data()
{
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<double>("command");
    QTest::newRow("top") << QPoint(125, 20) << 0.0;
    QTest::newRow("3 o'clock") << QPoint(230, 125) << 31.0;
    QTest::newRow("gap, just left of down") << QPoint(124, 190) << -50.0;
    QTest::newRow("gap, just right of down") << QPoint(126, 190) << 50.0;
}

void TestCommandCircularGauge::clickSetsCommand()
{
    QFETCH(QPoint, click);
    QFETCH(double, command);

    Probe probe(QSize(250, 250));
    probe.image(); // the dial's geometry comes from its last paint
    QSignalSpy changed(probe.gauge, &CommandCircularGauge::commandChanged);
    QTest::mouseClick(probe.gauge, Qt::LeftButton, Qt::NoModifier, click);
    QCOMPARE(changed.count(), 0); // measured mode
    probe.gauge->setCommandFocus(true);
    QTest::mouseClick(probe.gauge, Qt::LeftButton, Qt::NoModifier, click);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toDouble(), command);
    QCOMPARE(probe.gauge->commandValue, command);
}

void TestCommandCircularGauge::onlyTheActivatingClickIsSwallowed_data()
{
    // Events as a window system delivers them to the gauge, the pointer over it: "A" the
    // window's activation, "P" a click, "L" the pointer leaving the gauge, "W" a pause longer
    // than an activating click takes.
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("acted"); // clicks that set a command
    QTest::newRow("activation, then its press") << "APP" << 1;
    QTest::newRow("press, then its activation (X11)") << "PAP" << 2;
    QTest::newRow("box closing over the gauge") << "AWP" << 1;
    QTest::newRow("keyboard switch, then two clicks") << "AWPP" << 2;
    QTest::newRow("plain clicks") << "PP" << 2;
    QTest::newRow("pointer left before the activation") << "LAP" << 1;
}

void TestCommandCircularGauge::onlyTheActivatingClickIsSwallowed()
{
    QFETCH(QString, events);
    QFETCH(int, acted);

    Probe probe(QSize(250, 250));
    probe.image();
    probe.gauge->setCommandFocus(true);
    QSignalSpy changed(probe.gauge, &CommandCircularGauge::commandChanged);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(probe.gauge, &enter);
    for (const QChar step : events) {
        if (step == QLatin1Char('A')) {
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(probe.gauge, &activate);
        } else if (step == QLatin1Char('L')) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(probe.gauge, &leave);
        } else if (step == QLatin1Char('P')) {
            // Each click a different command, so that each one shows.
            const int x = 100 + 10 * changed.count();
            QTest::mouseClick(probe.gauge, Qt::LeftButton, Qt::NoModifier, QPoint(x, 20));
        } else {
            QTest::qWait(CommandCircularGauge::activatingPressMs + 100);
        }
    }
    QCOMPARE(changed.count(), acted);
}

void TestCommandCircularGauge::commandValues()
{
    CommandCircularGauge gauge;
    gauge.commandStep = 0.5;
    gauge.maximum = 400;
    QSignalSpy changed(&gauge, &CommandCircularGauge::commandChanged);
    // Reported commands are rounded half away from zero and clamped, never announced.
    const QVector<QPair<double, double>> reported{
        {12.25, 12.5}, {-12.25, -12.5}, {12.2, 12.0}, {470, 400}};
    for (const auto &r : reported) {
        gauge.updateCommandValue(r.first);
        QCOMPARE(gauge.commandValue, r.second);
    }
    gauge.bumpPlus(); // measured mode: nothing
    QCOMPARE(changed.count(), 0);
    gauge.setCommandFocus(true);
    gauge.bumpPlus(); // past the end: announced as asked, shown at the end
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toDouble(), 400.5);
    QCOMPARE(gauge.commandValue, 400.0);
}

void TestCommandCircularGauge::commandModeShowsNeedleAndButtons()
{
    Probe probe;
    CommandCircularGauge *gauge = probe.gauge;
    gauge->setValue(30);
    gauge->updateCommandValue(-30);
    const double commandAngle = dialAngle(-30, -50, 50);
    QVERIFY(isDial(probe.pixel(commandAngle, 140, 1.5)));
    QVERIFY(gauge->plusButton->isHidden());

    gauge->setCommandFocus(true);
    QVERIFY(isBrightGreen(probe.pixel(commandAngle, 140, 1.5)));
    QVERIFY(isRedNeedle(probe.pixel(dialAngle(30, -50, 50), 140, 3)));
    QVERIFY(!gauge->plusButton->isHidden());
    // Side by side under the value text.
    QCOMPARE(gauge->minusButton->geometry(), QRect(240, 480, 60, 60));
    QCOMPARE(gauge->plusButton->geometry(), QRect(300, 480, 60, 60));

    gauge->setCommandFocus(false);
    QVERIFY(gauge->minusButton->isHidden());
}

void TestCommandCircularGauge::longPress_data()
{
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<bool>("switchToCommand");
    QTest::addColumn<int>("emitted");

    QTest::newRow("held") << 1500 << false << 1;
    QTest::newRow("released early") << 300 << false << 0;
    QTest::newRow("host switched to command mode") << 1200 << true << 0;
}

void TestCommandCircularGauge::longPress()
{
    QFETCH(int, holdMs);
    QFETCH(bool, switchToCommand);
    QFETCH(int, emitted);

    Probe probe(QSize(250, 250));
    QSignalSpy longPress(probe.gauge, &CommandCircularGauge::longPress);
    QElapsedTimer held;
    qint64 firedAt = -1;
    connect(probe.gauge, &CommandCircularGauge::longPress, this, [&] { firedAt = held.elapsed(); });
    held.start();
    QTest::mousePress(probe.gauge, Qt::LeftButton, Qt::NoModifier, QPoint(125, 60));
    if (switchToCommand)
        probe.gauge->setCommandFocus(true);
    QTest::qWait(holdMs); // the press duration under test
    QTest::mouseRelease(probe.gauge, Qt::LeftButton, Qt::NoModifier, QPoint(125, 60));
    QVERIFY(!longPress.wait(800)); // nothing more after the release
    QCOMPARE(longPress.count(), emitted);
    // A precise timer never fires early; it fires without waiting for the release.
    QVERIFY2(!emitted || (firedAt >= 695 && firedAt < holdMs),
             qPrintable(QString::number(firedAt)));
}

void TestCommandCircularGauge::holdingPlusRepeats()
{
    constexpr int wantedSteps = 4;
    Probe probe(QSize(250, 250));
    probe.gauge->setCommandFocus(true);
    QVector<qint64> stepTimes;
    QElapsedTimer held;
    // Let go as soon as the fourth step is in, so how many steps come depends on the repeat
    // timers and not on how promptly a loaded machine returns from a fixed wait.
    connect(probe.gauge, &CommandCircularGauge::commandChanged, this, [&] {
        stepTimes.append(held.elapsed());
        if (stepTimes.size() == wantedSteps) {
            QTimer::singleShot(
                0, this, [&] { QTest::mouseRelease(probe.gauge->plusButton, Qt::LeftButton); });
        }
    });
    held.start();
    QTest::mousePress(probe.gauge->plusButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!probe.gauge->plusButton->isDown(), 5000);
    const int stepsAtRelease = stepTimes.size();
    QTest::qWait(300); // three repeat periods: long enough for a repeat that outlives the release
    QCOMPARE(stepTimes.size(), stepsAtRelease);

    // A step at once, the first repeat after 700 ms, then one every 100 ms. Timers are coarse
    // (within 5 %) and never early; a busy machine only makes them later, so the repeat period
    // is bounded above, by twice its mean.
    QVERIFY(stepsAtRelease >= wantedSteps);
    QVERIFY(stepTimes[0] < 100);
    QVERIFY2(stepTimes[1] >= 650, qPrintable(QString::number(stepTimes[1])));
    for (int i = 2; i < stepTimes.size(); ++i)
        QVERIFY(stepTimes[i] - stepTimes[i - 1] >= 80);
    const qint64 meanRepeatMs = (stepTimes.last() - stepTimes[1]) / (stepTimes.size() - 2);
    QVERIFY2(meanRepeatMs < 200, qPrintable(QString::number(meanRepeatMs)));
    QCOMPARE(probe.gauge->commandValue, double(stepTimes.size()));
}

QTEST_MAIN(TestCommandCircularGauge)
#include "tst_commandcirculargauge.moc"
