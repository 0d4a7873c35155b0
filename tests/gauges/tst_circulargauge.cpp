#include "accelerationgauge.h"
#include "circulargauge.h"
#include "gaugeprobe.h"

#include <QtTest>

class TestCircularGauge : public QObject
{
    Q_OBJECT

private slots:
    void scaleValues_data();
    void scaleValues();
    void majorTickPixels_data();
    void majorTickPixels();
    void minorTicksStopAtMaximum();
    void groundAndHub();
    void needleFollowsValue_data();
    void needleFollowsValue();
    void reversedScaleDrawsNoTicks();
};

void TestCircularGauge::scaleValues_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("labelStep");
    QTest::addColumn<QVector<double>>("ticks");
    QTest::addColumn<QVector<double>>("labels");

    QTest::newRow("defaults") << -50.0 << 50.0 << 10.0 << 10.0 << steps(-50, 50, 10)
                              << steps(-50, 50, 10);
    // Ticks sit on multiples of the step, numbers start at the minimum.
    QTest::newRow("-45..48") << -45.0 << 48.0 << 10.0 << 10.0 << steps(-40, 40, 10)
                             << steps(-45, 45, 10);
    // 0.2 + 0.1 lies above 0.3 in binary; the 0.3 tick must not be skipped.
    QTest::newRow("0..2 by 0.1") << 0.0 << 2.0 << 0.1 << 0.2 << steps(0, 2, 0.1)
                                 << steps(0, 2, 0.2);
    QTest::newRow("reversed") << 10.0 << -10.0 << 5.0 << 5.0 << QVector<double>()
                              << QVector<double>();
}

void TestCircularGauge::scaleValues()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, labelStep);
    QFETCH(QVector<double>, ticks);
    QFETCH(QVector<double>, labels);

    CircularGauge gauge;
    gauge.minimum = minimum;
    gauge.maximum = maximum;
    gauge.majorStep = step;
    gauge.labelStep = labelStep;
    QVERIFY(sameValues(gauge.majorTickValues(), ticks));
    QVERIFY(sameValues(gauge.scaleLabelValues(), labels));
}

void TestCircularGauge::majorTickPixels_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("at");
    QTest::addColumn<bool>("tick");

    QTest::newRow("default -50") << -50.0 << 50.0 << 10.0 << -50.0 << true;
    QTest::newRow("default 0 (top)") << -50.0 << 50.0 << 10.0 << 0.0 << true;
    QTest::newRow("default 5, between minors") << -50.0 << 50.0 << 10.0 << 5.0 << false;
    QTest::newRow("-45..48 at -40") << -45.0 << 48.0 << 10.0 << -40.0 << true;
    QTest::newRow("-45..48 nothing at -45") << -45.0 << 48.0 << 10.0 << -45.0 << false;
    QTest::newRow("0..2 at 0.3") << 0.0 << 2.0 << 0.1 << 0.3 << true;
    QTest::newRow("0..2 at 2") << 0.0 << 2.0 << 0.1 << 2.0 << true;
}

void TestCircularGauge::majorTickPixels()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, at);
    QFETCH(bool, tick);

    // At 600 px: radius 300, major ticks from radius 279 in to 258, 5.25 px wide.
    GaugeProbe<CircularGauge> probe(QSize(600, 600));
    probe.gauge->minimum = minimum;
    probe.gauge->maximum = maximum;
    probe.gauge->majorStep = step;
    probe.gauge->labelStep = 100; // keep the numbers out of the way
    probe.gauge->setValue(maximum + 0.1 * (maximum - minimum)); // needle into the bottom gap
    const QColor c = probe.pixel(dialAngle(at, minimum, maximum), 268);
    QVERIFY2(tick ? isWhite(c) : isDial(c), qPrintable(c.name()));
}

void TestCircularGauge::minorTicksStopAtMaximum()
{
    // Minor ticks reach from radius 279 in to 268, 2.6 px wide; none after the last major.
    GaugeProbe<CircularGauge> probe(QSize(600, 600));
    const QImage image = probe.image();
    const auto minorAt = [&](double v) {
        return image.pixelColor(probe.at(dialAngle(v, -50, 50), 274));
    };
    QVERIFY(isWhite(minorAt(48), 150));
    QVERIFY(isWhite(minorAt(-48), 150));
    QVERIFY(isDial(minorAt(49)));
    QVERIFY(isDial(minorAt(52)));
    QVERIFY(isDial(minorAt(-52)));
}

void TestCircularGauge::groundAndHub()
{
    // A wide gauge stays round and centred; the extra width shows the window ground.
    GaugeProbe<CircularGauge> probe(QSize(400, 250));
    const QImage image = probe.image();
    QCOMPARE(image.pixelColor(20, 125), QColor(0x22, 0x22, 0x22));
    QCOMPARE(image.pixelColor(399, 0), QColor(0x22, 0x22, 0x22));
    // The hub covers the needle's root at the centre.
    QVERIFY(isBrightGreen(image.pixelColor(200, 125)));
    QVERIFY(isBrightGreen(image.pixelColor(202, 126)));
    QVERIFY(isDial(image.pixelColor(200 + 20, 125 + 10)));
}

void TestCircularGauge::needleFollowsValue_data()
{
    QTest::addColumn<bool>("acceleration");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("needleAngle");
    QTest::addColumn<double>("emptyAngle");

    QTest::newRow("0 points up") << false << 0.0 << 180.0 << 90.0;
    QTest::newRow("-50 at start") << false << -50.0 << 35.0 << 180.0;
    // Not clamped: past the end the needle turns into the bottom gap.
    QTest::newRow("60 in the gap") << false << 60.0 << 354.0 << 325.0;
    QTest::newRow("accel +1.5") << true << 1.5 << 225.0 << 315.0;
    QTest::newRow("accel -1.5") << true << -1.5 << -45.0 << 225.0;
    QTest::newRow("accel 0 at 9 o'clock") << true << 0.0 << 90.0 << 270.0;
}

void TestCircularGauge::needleFollowsValue()
{
    QFETCH(bool, acceleration);
    QFETCH(double, value);
    QFETCH(double, needleAngle);
    QFETCH(double, emptyAngle);

    GaugeProbe<CircularGauge> plain(QSize(600, 600));
    GaugeProbe<AccelerationGauge> accel(QSize(600, 600));
    CircularGauge *gauge = acceleration ? accel.gauge : plain.gauge;
    gauge->setValue(value);
    QCOMPARE(gauge->value, value);
    const QImage image = gauge->grab().toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    const auto &probe = plain; // same geometry for both
    // At radius 140 the needle is about 13 px wide; sample both halves.
    for (double across : {-3.0, 3.0}) {
        const QColor on = image.pixelColor(probe.at(needleAngle, 140, across));
        QVERIFY2(isRedNeedle(on), qPrintable(on.name()));
        const QColor off = image.pixelColor(probe.at(emptyAngle, 140, across));
        QVERIFY2(isDial(off), qPrintable(off.name()));
    }
}

void TestCircularGauge::reversedScaleDrawsNoTicks()
{
    GaugeProbe<CircularGauge> probe(QSize(600, 600));
    const auto whiteOnTickRing = [&probe] {
        const QImage image = probe.image();
        int n = 0;
        for (int angle = 0; angle < 360; ++angle)
            n += isWhite(image.pixelColor(probe.at(angle, 268))) ? 1 : 0;
        return n;
    };
    QVERIFY(whiteOnTickRing() >= 11);
    probe.gauge->minimum = 50;
    probe.gauge->maximum = -50;
    QCOMPARE(whiteOnTickRing(), 0);
}

QTEST_MAIN(TestCircularGauge)
#include "tst_circulargauge.moc"
