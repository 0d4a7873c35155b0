#include "accelerationgauge.h"
#include "forcegauge.h"
#include "gaugeprobe.h"
#include "positiongauge.h"

#include <QScreen>
#include <QtTest>

#include <algorithm>

// The round gauge's drawing and the scales of the force, position and acceleration gauges.
class TestCircularGauge : public QObject
{
    Q_OBJECT

private slots:
    void scale_data();
    void scale();
    void needleFollowsValue_data();
    void needleFollowsValue();
    void scaleFollowsRating_data();
    void scaleFollowsRating();
    void softTouch();
    void positionLimits_data();
    void positionLimits();
    void numberText_data();
    void numberText();
    void valueTextOfNoiseAroundZero();
};

namespace {

// from, from + step, ... up to `to`.
QVector<double> steps(double from, double to, double step)
{
    QVector<double> values;
    for (int i = 0; i <= qFloor((to - from) / step + 1e-6); ++i)
        values.append(from + i * step);
    return values;
}

// Matching pixels in the band above the title (at 600 px), where the status words go.
int inStatusBand(const QImage &image, bool (*match)(const QColor &))
{
    int n = 0;
    for (int y = 114; y < 187; ++y)
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

// Takes the shown gauge to v and lets it repaint what the change moved; returns how far (in
// colour levels) the window then is from a whole repaint. Antialiased edges cut by the edge of
// the repainted part come out a level or three apart; anything left unrepainted is far more.
template <typename Gauge>
int repaintDifference(GaugeProbe<Gauge> &probe, double v)
{
    probe.gauge->setValue(v);
    QCoreApplication::processEvents();
    const auto shown = [&probe] {
        return probe.host.screen()
            ->grabWindow(probe.host.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const QImage changed = shown();
    probe.gauge->repaint();
    const QImage whole = shown();
    int most = 0;
    for (int y = 0; y < whole.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(changed.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(whole.constScanLine(y));
        for (int x = 0; x < whole.width(); ++x)
            most = std::max({most, qAbs(qRed(a[x]) - qRed(b[x])), qAbs(qGreen(a[x]) - qGreen(b[x])),
                             qAbs(qBlue(a[x]) - qBlue(b[x]))});
    }
    return most;
}

constexpr int edgeLevels = 4;

bool sameValues(const QVector<double> &actual, const QVector<double> &expected)
{
    return std::equal(actual.begin(), actual.end(), expected.begin(), expected.end(),
                      [](double a, double b) { return qAbs(a - b) < 1e-9; });
}

} // namespace

void TestCircularGauge::scale_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<QVector<double>>("ticks");
    QTest::addColumn<QVector<double>>("labels");

    QTest::newRow("defaults") << -50.0 << 50.0 << 10.0 << steps(-50, 50, 10) << steps(-50, 50, 10);
    // Ticks sit on multiples of the step, numbers start at the minimum.
    QTest::newRow("-45..48") << -45.0 << 48.0 << 10.0 << steps(-40, 40, 10) << steps(-45, 48, 10);
    // 0.2 + 0.1 lies above 0.3 in binary; the 0.3 tick must not be skipped.
    QTest::newRow("0..2 by 0.1") << 0.0 << 2.0 << 0.1 << steps(0, 2, 0.1) << steps(0, 2, 0.1);
    QTest::newRow("reversed") << 10.0 << -10.0 << 5.0 << QVector<double>() << QVector<double>();
}

void TestCircularGauge::scale()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(QVector<double>, ticks);
    QFETCH(QVector<double>, labels);

    GaugeProbe<CircularGauge> probe;
    CircularGauge *gauge = probe.gauge;
    gauge->minimum = minimum;
    gauge->maximum = maximum;
    gauge->majorStep = gauge->labelStep = step;
    QVERIFY(sameValues(gauge->majorTickValues(), ticks));
    QVERIFY(sameValues(gauge->scaleLabelValues(), labels));

    // At 600 px major ticks reach from radius 279 in to 258, minor ones to 268.
    gauge->setValue(maximum + 0.1 * (maximum - minimum)); // needle into the bottom gap
    const QImage image = probe.image();
    const auto white = [&](double v, double r) {
        return isWhite(image.pixelColor(probe.at(dialAngle(v, minimum, maximum), r)));
    };
    for (double t : ticks) {
        QVERIFY2(white(t, 262), qPrintable(QString::number(t)));
        // Four minor ticks to each interval, none after a last major tick at the maximum.
        QCOMPARE(white(t + step / 5, 274), t < maximum);
    }
}

void TestCircularGauge::needleFollowsValue_data()
{
    QTest::addColumn<bool>("acceleration");
    QTest::addColumn<double>("from"); // the value shown before
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("needleAngle");
    QTest::addColumn<double>("emptyAngle");

    QTest::newRow("0 points up") << false << 20.0 << 0.0 << 180.0 << 90.0;
    // Not clamped: past the end the needle turns into the bottom gap.
    QTest::newRow("60 in the gap") << false << -30.0 << 60.0 << 354.0 << 325.0;
    // The acceleration dial has its gap at 3 o'clock.
    QTest::newRow("accel +1.5") << true << -1.0 << 1.5 << 225.0 << 315.0;
    // Noise: the needle moves a little, the text stays.
    QTest::newRow("accel noise") << true << 0.012 << 0.018 << 91.6 << 180.0;
}

void TestCircularGauge::needleFollowsValue()
{
    QFETCH(bool, acceleration);
    QFETCH(double, from);
    QFETCH(double, value);
    QFETCH(double, needleAngle);
    QFETCH(double, emptyAngle);

    GaugeProbe<CircularGauge> probe(QSize(600, 600),
                                    acceleration ? new AccelerationGauge : new CircularGauge);
    probe.host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe.host));
    QVERIFY(repaintDifference(probe, from) <= edgeLevels);
    QVERIFY(repaintDifference(probe, value) <= edgeLevels);
    // At radius 140 the needle is about 13 px wide; sample both halves.
    for (double across : {-3.0, 3.0}) {
        QVERIFY(isRedNeedle(probe.pixel(needleAngle, 140, across)));
        QVERIFY(isDial(probe.pixel(emptyAngle, 140, across)));
    }
    // The hub covers the needle's root; outside the round dial shows the window's ground.
    QVERIFY(isBrightGreen(probe.pixel(0, 0)));
    QCOMPARE(probe.image().pixelColor(2, 2), QColor(0x22, 0x22, 0x22));
}

void TestCircularGauge::scaleFollowsRating_data()
{
    QTest::addColumn<bool>("force");
    QTest::addColumn<double>("rating");
    QTest::addColumn<QVector<double>>("scale"); // maximum, major, label and command steps
    QTest::addColumn<QString>("unit");

    QTest::newRow("force 40") << true << 40.0 << QVector<double>{40, 5, 10, 0.1} << "in";
    QTest::newRow("force 50.5") << true << 50.5 << QVector<double>{60, 10, 20, 0.2} << "in";
    QTest::newRow("force 2250") << true << 2250.0 << QVector<double>{2300, 100, 200, 1} << "in";
    // No usable rating: the default scale, in the default unit again.
    QTest::newRow("force NaN") << true << qQNaN() << QVector<double>{350, 50, 100, 0.5} << "N";
    QTest::newRow("position -3") << false << -3.0 << QVector<double>{20, 1, 2, 0.1} << "mm";
    QTest::newRow("position 1.5") << false << 1.5 << QVector<double>{1.5, 0.1, 0.2, 0.1} << "in";
    QTest::newRow("position 23") << false << 23.0 << QVector<double>{25, 5, 5, 0.1} << "in";
}

void TestCircularGauge::scaleFollowsRating()
{
    QFETCH(bool, force);
    QFETCH(double, rating);
    QFETCH(QVector<double>, scale);
    QFETCH(QString, unit);

    // Start from another scale and unit, so that each row must set all it shows.
    ForceGauge forceGauge;
    PositionGauge positionGauge;
    forceGauge.setMaxForce(40);
    positionGauge.setMaxPosition(40);
    forceGauge.unitText = positionGauge.unitText = QStringLiteral("in");
    force ? forceGauge.setMaxForce(rating) : positionGauge.setMaxPosition(rating);
    const CommandCircularGauge *gauge =
        force ? static_cast<CommandCircularGauge *>(&forceGauge) : &positionGauge;
    const double maximum = scale[0];
    const double minimum = force ? -maximum : 0;
    QVERIFY(qAbs(gauge->maximum - maximum) < 1e-9);
    QCOMPARE(gauge->minimum, minimum);
    QVERIFY(sameValues(gauge->majorTickValues(), steps(minimum, maximum, scale[1])));
    QVERIFY(sameValues(gauge->scaleLabelValues(), steps(minimum, maximum, scale[2])));
    QCOMPARE(gauge->commandStep, scale[3]);
    QCOMPARE(gauge->unitText, unit);
}

void TestCircularGauge::softTouch()
{
    GaugeProbe<ForceGauge> probe;
    const auto solidGreen = [](const QColor &c) {
        return c.green() > 200 && c.red() < 100 && c.blue() < 100;
    };
    probe.gauge->setSoftTouchActive(4);
    QVERIFY(inStatusBand(probe.image(), solidGreen) > 100);
    probe.gauge->setSoftTouchActive(0);
    QCOMPARE(inStatusBand(probe.image(), solidGreen), 0);
}

void TestCircularGauge::positionLimits_data()
{
    QTest::addColumn<double>("negLimit");
    QTest::addColumn<double>("posLimit");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("no limits") << 0.0 << 0.0 << 0.0 << QString();
    QTest::newRow("both, at 19") << 2.0 << 18.0 << 19.0 << "+LIMIT";
    QTest::newRow("both, at 1") << 2.0 << 18.0 << 1.0 << "-LIMIT";
    QTest::newRow("negative only, at 2") << 2.0 << 0.0 << 2.0 << "-LIMIT";
    QTest::newRow("positive only, at 0") << 0.0 << 18.0 << 0.0 << QString();
}

void TestCircularGauge::positionLimits()
{
    QFETCH(double, negLimit);
    QFETCH(double, posLimit);
    QFETCH(double, value);
    QFETCH(QString, text);

    GaugeProbe<PositionGauge> probe;
    probe.gauge->setNegLimit(negLimit);
    probe.gauge->setPosLimit(posLimit);
    probe.host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe.host));
    QVERIFY(repaintDifference(probe, 10) <= edgeLevels); // mid-stroke, off both limits
    QVERIFY(repaintDifference(probe, value) <= edgeLevels);
    const QImage image = probe.image();
    // Red arcs over 0 to the negative limit and the positive limit to the end, just outside
    // the ticks; sampled half-way between two minor ticks.
    const auto red = [](const QColor &c) { return c.red() > 200 && c.green() < 60; };
    const auto arcAt = [&](double v) {
        return red(image.pixelColor(probe.at(dialAngle(v, 0, 20), 281)));
    };
    QCOMPARE(arcAt(1.3), negLimit > 0);
    QCOMPARE(arcAt(18.7), posLimit > 0);
    QVERIFY(!arcAt(2.5) && !arcAt(17.5));
    QCOMPARE(probe.gauge->limitText(), text);
    QCOMPARE(inStatusBand(image, red) > 100, !text.isEmpty());
}

QTEST_MAIN(TestCircularGauge)
#include "tst_circulargauge.moc"

void TestCircularGauge::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");

    // Whatever rounds to zero reads as zero, without a sign.
    QTest::newRow("-0.04 at 1") << -0.04 << 1 << "0.0";
    QTest::newRow("-0.4 at 0") << -0.4 << 0 << "0";
    // Everything else exactly as printf writes it.
    QTest::newRow("-0.06 at 1") << -0.06 << 1 << "-0.1";
    QTest::newRow("-0.6 at 0") << -0.6 << 0 << "-1";
    QTest::newRow("-10.04 at 1") << -10.04 << 1 << "-10.0";
    QTest::newRow("-inf") << -qInf() << 1 << "-inf";
}

void TestCircularGauge::numberText()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(CircularGauge::formatNumber(value, decimals), text);
}

void TestCircularGauge::valueTextOfNoiseAroundZero()
{
    // The value text box below the centre at 600 px: s = 2 x tickLength = 42 (point size),
    // box (centre x - 4s, centre y + 1.5s, 8s, 3s); the needle near 9 o'clock stays out of it.
    const int s = 42;
    const QRect box(300 - 4 * s, 300 + s * 3 / 2, 8 * s, 3 * s);
    const auto valueTextAt = [&](double value) {
        GaugeProbe<AccelerationGauge> probe;
        probe.gauge->setValue(value);
        return probe.image().copy(box);
    };
    const QImage zero = valueTextAt(0.0);
    QCOMPARE(valueTextAt(-0.04), zero);
    QVERIFY(valueTextAt(-0.06) != zero);
}
