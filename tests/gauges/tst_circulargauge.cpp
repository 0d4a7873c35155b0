#include "accelerationgauge.h"
#include "commandcirculargauge.h"
#include "forcegauge.h"
#include "positiongauge.h"

#include <QAccessible>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// Round gauges: their scales, their value texts, what a new value repaints, and the
// operator's input.
class TestCircularGauge : public QObject
{
    Q_OBJECT

private slots:
    void repaint_data();
    void repaint();
    void ratingsAndValues_data();
    void ratingsAndValues();
    void click_data();
    void click();
    void commandValues();
    void longPress_data();
    void longPress();
    void accessibleValue_data();
    void accessibleValue();
};

namespace {

// Takes the shown gauge to v and lets it repaint what the change moved; true when the window
// is then as a whole repaint leaves it. Antialiased edges cut by the edge of the repainted part
// come out a few colour levels apart; anything left unrepainted is far more.
bool repaintsWhatChanged(CircularGauge *gauge, double v)
{
    const auto screen = [gauge] { return gauge->screen()->grabWindow(gauge->winId()).toImage(); };
    gauge->setValue(v);
    QCoreApplication::processEvents();
    const QImage changed = screen();
    gauge->repaint();
    const QImage whole = screen();
    // Four bytes a pixel, a colour level each.
    for (qsizetype i = 0; i < whole.sizeInBytes(); ++i) {
        if (qAbs(changed.constBits()[i] - whole.constBits()[i]) > 4)
            return false;
    }
    return true;
}

} // namespace

void TestCircularGauge::repaint_data()
{
    QTest::addColumn<int>("kind"); // 0 plain (-50 to 50), 1 acceleration, 2 position (0 to 20)
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("needleAngle"); // clockwise from straight down
    QTest::newRow("0 points up") << 0 << 20.0 << 0.0 << 180.0;
    // Noise: the needle moves a little, the text stays; this dial has its gap at 3 o'clock.
    QTest::newRow("accel noise") << 1 << 0.012 << 0.018 << 91.6;
    // The limit word appears above the title.
    QTest::newRow("position at its limit") << 2 << 10.0 << 19.0 << 310.5;
}

void TestCircularGauge::repaint()
{
    QFETCH(int, kind);
    QFETCH(double, from);
    QFETCH(double, value);
    QFETCH(double, needleAngle);
    std::unique_ptr<CircularGauge> gauge(kind == 1   ? new AccelerationGauge
                                         : kind == 2 ? new PositionGauge
                                                     : new CircularGauge);
    if (kind == 2)
        static_cast<PositionGauge *>(gauge.get())->setPosLimit(18);
    gauge->resize(600, 600);
    gauge->show();
    QVERIFY(QTest::qWaitForWindowExposed(gauge.get()));
    QVERIFY(repaintsWhatChanged(gauge.get(), from));
    QVERIFY(repaintsWhatChanged(gauge.get(), value));
    // The red needle, about 13 px wide at radius 140: both halves.
    const QImage image = gauge->grab().toImage();
    const double t = qDegreesToRadians(needleAngle + 90);
    for (double across : {-3.0, 3.0}) {
        const QColor c = image.pixelColor(qFloor(300 + 140 * qCos(t) - across * qSin(t)),
                                          qFloor(300 + 140 * qSin(t) + across * qCos(t)));
        QVERIFY(c.red() > 70 && c.red() > c.green() + 40 && c.blue() < 60);
    }
}

void TestCircularGauge::ratingsAndValues_data()
{
    // What a device value, or a member, is given to; what the operator then has: the scale's
    // end, the command step, and the scale's note, the measured value's text or the command's.
    QTest::addColumn<QString>("to");
    QTest::addColumn<double>("sent");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("major"); // the scale's step
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("shown");
    // Each size of actuator in every band, both sides of 800 N: its scale and command step.
    const auto rating = [](const char *to, double sent, double maximum, double major, double step) {
        QTest::addRow("%s %g", to, sent) << to << sent << maximum << major << step << "";
    };
    rating("maxForce", 1e-300, 5, 5, 0.1);
    rating("maxForce", 51, 60, 10, 0.2);
    rating("maxForce", 101, 125, 25, 0.2);
    rating("maxForce", 251, 300, 50, 0.5);
    rating("maxForce", 790, 800, 50, 0.5);
    rating("maxForce", 800, 800, 100, 1.0);
    rating("maxForce", 1e4, 1e4, 100, 1.0); // at the bound
    rating("maxPosition", 2, 2, 0.1, 0.1);
    rating("maxPosition", 2.5, 3, 1, 0.1);
    rating("maxPosition", 21, 25, 5, 0.1);
    // An unusable rating leaves the default scale and says so.
    QTest::newRow("force rating 1e12")
        << "maxForce" << 1e12 << 350.0 << 50.0 << 0.5 << "BAD RATING";
    QTest::newRow("stroke 1e308") << "maxPosition" << 1e308 << 20.0 << 1.0 << 0.1 << "BAD RATING";
    QTest::newRow("measured 1e308") << "value" << 1e308 << 350.0 << 50.0 << 0.5 << "OUT OF RANGE";
    QTest::newRow("device command 1e308")
        << "command" << 1e308 << 350.0 << 50.0 << 0.5 << "OUT OF RANGE";
    QTest::newRow("scale end 1e7, set directly") << "maximum" << 1e7 << 1e7 << 50.0 << 0.5 << "";
    QTest::newRow("1e9 minor ticks, set directly")
        << "minorTicks" << 1e9 << 350.0 << 50.0 << 0.5 << "";
}

// Whatever a device sends, the gauge paints in bounded time and shows no number it was not
// sent.
void TestCircularGauge::ratingsAndValues()
{
    QFETCH(QString, to);
    QFETCH(double, sent);
    QFETCH(QString, shown);
    std::unique_ptr<CommandCircularGauge> gauge(
        to == "maxPosition" ? static_cast<CommandCircularGauge *>(new PositionGauge)
                            : new ForceGauge);
    gauge->resize(250, 250);
    gauge->setCommandFocus(true);
    if (to == "maxForce")
        static_cast<ForceGauge *>(gauge.get())->setMaxForce(sent);
    else if (to == "maxPosition")
        static_cast<PositionGauge *>(gauge.get())->setMaxPosition(sent);
    else if (to == "value")
        gauge->setValue(sent);
    else if (to == "command")
        gauge->updateCommandValue(sent);
    else if (to == "maximum")
        gauge->maximum = sent;
    else
        gauge->minorTicks = sent;
    QTEST(gauge->maximum, "maximum");
    QTEST(gauge->majorStep, "major");
    QTEST(gauge->commandStep, "step");
    QVERIFY(gauge->majorTickValues().size() <= CircularGauge::maxScaleMarks + 1);
    QVERIFY(gauge->minorTickCount() <= CircularGauge::maxMinorTicks);
    QCOMPARE(to == "value"     ? gauge->valueText(gauge->value)
             : to == "command" ? gauge->commandText()
                               : gauge->scaleNote,
             shown);
    QVERIFY(gauge->commandValue >= gauge->minimum && gauge->commandValue <= gauge->maximum);
    gauge->grab();
}

void TestCircularGauge::click_data()
{
    // As a window system delivers them, the pointer over the gauge: "A" the window's activation,
    // "P" a click ("M" in measured mode) at the top, 3 o'clock, just left and just right of
    // straight down in turn, "L" the pointer leaving, "W" a pause past an activating click.
    QTest::addColumn<QString>("events");
    QTest::addColumn<QList<double>>("commands");
    QTest::newRow("measured, then command mode") << "MPPP" << QList<double>{31, -50, 50};
    QTest::newRow("activation, then its press") << "APP" << QList<double>{31};
    QTest::newRow("press, then its activation (X11)") << "PAP" << QList<double>{0, 31};
    QTest::newRow("box closing over the gauge") << "AWP" << QList<double>{0};
    QTest::newRow("pointer left before the activation") << "LAP" << QList<double>{0};
}

void TestCircularGauge::click()
{
    QFETCH(QString, events);
    CommandCircularGauge gauge;
    gauge.resize(250, 250);
    gauge.grab(); // the dial's geometry comes from its last paint
    gauge.setCommandFocus(!events.startsWith('M'));
    QSignalSpy changed(&gauge, &CommandCircularGauge::commandChanged);
    const QVector<QPoint> places{{125, 20}, {230, 125}, {124, 190}, {126, 190}};
    int clicks = 0;
    for (const QChar step : "E" + events) { // the pointer enters first
        if (step == 'W') {
            QTest::qWait(CommandCircularGauge::activatingPressMs + 100);
        } else if (step == 'P' || step == 'M') {
            QTest::mouseClick(&gauge, Qt::LeftButton, Qt::NoModifier, places[clicks++]);
            gauge.setCommandFocus(true);
        } else {
            QEvent event(step == 'A'   ? QEvent::WindowActivate
                         : step == 'L' ? QEvent::Leave
                                       : QEvent::Enter);
            QApplication::sendEvent(&gauge, &event);
        }
    }
    QList<double> commands;
    for (const QList<QVariant> &signal : changed)
        commands << signal.at(0).toDouble();
    QTEST(commands, "commands");
}

void TestCircularGauge::commandValues()
{
    CommandCircularGauge gauge;
    gauge.commandStep = 0.5;
    gauge.maximum = 400;
    QSignalSpy changed(&gauge, &CommandCircularGauge::commandChanged);
    // Reported commands are rounded half away from zero and clamped, never announced.
    for (const QPointF reported : {QPointF(12.25, 12.5), {-12.25, -12.5}, {12.2, 12}, {470, 400}}) {
        gauge.updateCommandValue(reported.x());
        QCOMPARE(gauge.commandValue, reported.y());
    }
    gauge.bumpPlus(); // measured mode: nothing
    gauge.setCommandFocus(true);
    gauge.bumpPlus(); // past the end: announced as asked, shown at the end
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toDouble(), 400.5);
    QCOMPARE(gauge.commandValue, 400.0);
}

void TestCircularGauge::longPress_data()
{
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<bool>("switchToCommand");
    QTest::addColumn<int>("emitted");
    QTest::newRow("held") << 1000 << false << 1;
    QTest::newRow("released early") << 400 << false << 0;
    QTest::newRow("host switched to command mode") << 1000 << true << 0;
}

void TestCircularGauge::longPress()
{
    QFETCH(int, holdMs);
    QFETCH(bool, switchToCommand);
    CommandCircularGauge gauge;
    QSignalSpy longPress(&gauge, &CommandCircularGauge::longPress);
    QTest::mousePress(&gauge, Qt::LeftButton, Qt::NoModifier, QPoint(125, 60));
    if (switchToCommand)
        gauge.setCommandFocus(true);
    QTest::qWait(holdMs); // the press duration under test
    QTest::mouseRelease(&gauge, Qt::LeftButton, Qt::NoModifier, QPoint(125, 60));
    QVERIFY(!longPress.wait(800)); // nothing more after the release
    QTEST(int(longPress.count()), "emitted");
}

void TestCircularGauge::accessibleValue_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("measured");
    QTest::addColumn<bool>("commandMode");
    QTest::addColumn<double>("command");
    QTest::addColumn<double>("extra"); // force: soft touch; position: positive limit
    QTest::addColumn<QString>("value");
    // Whatever rounds to zero reads as zero, without a sign.
    QTest::newRow("acceleration") << "acceleration" << -0.04 << false << 0.0 << 0.0 << "0.0 G";
    QTest::newRow("force, measured mode")
        << "force" << -10.04 << false << 20.0 << 0.0 << "-10.0 N measured";
    QTest::newRow("force, command mode, soft touch")
        << "force" << 12.5 << true << 20.0 << 4.0
        << "12.5 N measured, command 20.0 N, force mode, soft touch";
    QTest::newRow("position at its limit, command beyond the scale")
        << "position" << 12.5 << true << 1e6 << 12.0
        << "12.5 mm measured, command OUT OF RANGE, position mode, +LIMIT";
}

void TestCircularGauge::accessibleValue()
{
    QFETCH(QString, kind);
    QFETCH(double, measured);
    QFETCH(bool, commandMode);
    QFETCH(double, command);
    QFETCH(double, extra);
    std::unique_ptr<CircularGauge> gauge(kind == "acceleration" ? new AccelerationGauge
                                         : kind == "force"
                                             ? static_cast<CircularGauge *>(new ForceGauge)
                                             : new PositionGauge);
    gauge->setValue(measured);
    if (auto *commandGauge = qobject_cast<CommandCircularGauge *>(gauge.get())) {
        commandGauge->updateCommandValue(command);
        commandGauge->setCommandFocus(commandMode);
    }
    if (auto *force = qobject_cast<ForceGauge *>(gauge.get()))
        force->setSoftTouchActive(int(extra));
    if (auto *position = qobject_cast<PositionGauge *>(gauge.get()))
        position->setPosLimit(extra);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(gauge.get());
    QVERIFY(accessible && accessible->valueInterface());
    QTEST(accessible->text(QAccessible::Value), "value");
    QCOMPARE(accessible->valueInterface()->currentValue().toDouble(), gauge->value);
}

QTEST_MAIN(TestCircularGauge)
#include "tst_circulargauge.moc"
