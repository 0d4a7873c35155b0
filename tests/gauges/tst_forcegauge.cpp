#include "forcegauge.h"
#include "gaugeprobe.h"

#include <QtTest>

class TestForceGauge : public QObject
{
    Q_OBJECT

private slots:
    void scaleFollowsMaxForce_data();
    void scaleFollowsMaxForce();
    void missingMaxForceFallsBackToDefault_data();
    void missingMaxForceFallsBackToDefault();
    void softTouchBand();
};

void TestForceGauge::scaleFollowsMaxForce_data()
{
    QTest::addColumn<double>("maxForce");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("majorStep");
    QTest::addColumn<double>("labelStep");
    QTest::addColumn<int>("labelDecimals");
    QTest::addColumn<double>("commandStep");

    QTest::newRow("40") << 40.0 << 40.0 << 5.0 << 10.0 << 1 << 0.1;
    QTest::newRow("50") << 50.0 << 50.0 << 5.0 << 10.0 << 1 << 0.1;
    QTest::newRow("50.5") << 50.5 << 60.0 << 10.0 << 20.0 << 1 << 0.2;
    QTest::newRow("200") << 200.0 << 200.0 << 25.0 << 50.0 << 0 << 0.2;
    QTest::newRow("350 (default)") << 350.0 << 350.0 << 50.0 << 100.0 << 0 << 0.5;
    QTest::newRow("445") << 445.0 << 450.0 << 50.0 << 100.0 << 0 << 0.5;
    QTest::newRow("799") << 799.0 << 800.0 << 50.0 << 100.0 << 0 << 0.5;
    QTest::newRow("800") << 800.0 << 800.0 << 100.0 << 200.0 << 0 << 1.0;
    QTest::newRow("2250") << 2250.0 << 2300.0 << 100.0 << 200.0 << 0 << 1.0;
}

void TestForceGauge::scaleFollowsMaxForce()
{
    QFETCH(double, maxForce);
    QFETCH(double, maximum);
    QFETCH(double, majorStep);
    QFETCH(double, labelStep);
    QFETCH(int, labelDecimals);
    QFETCH(double, commandStep);

    ForceGauge gauge;
    gauge.setMaxForce(40); // start from a different row
    gauge.setMaxForce(maxForce);
    QCOMPARE(gauge.maximum, maximum);
    QCOMPARE(gauge.minimum, -maximum);
    QCOMPARE(gauge.labelDecimals, labelDecimals);
    QCOMPARE(gauge.valueDecimals, 1);
    QCOMPARE(gauge.commandStep, commandStep);
    // Symmetric scale: ticks on every multiple of the step, numbers from the minimum.
    QVERIFY(sameValues(gauge.majorTickValues(), steps(-maximum, maximum, majorStep)));
    QVERIFY(sameValues(gauge.scaleLabelValues(), steps(-maximum, maximum, labelStep)));
}

void TestForceGauge::missingMaxForceFallsBackToDefault_data()
{
    QTest::addColumn<double>("maxForce");
    QTest::newRow("0") << 0.0;
    QTest::newRow("-5") << -5.0;
    QTest::newRow("not a number") << qQNaN();
    QTest::newRow("infinite") << qInf();
}

void TestForceGauge::missingMaxForceFallsBackToDefault()
{
    QFETCH(double, maxForce);
    ForceGauge gauge;
    gauge.setMaxForce(40);
    gauge.unitText = QStringLiteral("Lb");
    gauge.setMaxForce(maxForce);
    QCOMPARE(gauge.maximum, 350.0);
    QCOMPARE(gauge.minimum, -350.0);
    QCOMPARE(gauge.commandStep, 0.5);
    QCOMPARE(gauge.unitText, QStringLiteral("N"));
}

void TestForceGauge::softTouchBand()
{
    // "SOFT TOUCH" is drawn in #0F0 in the band above the title; nothing else there is that
    // green, so count the text's solid pixels.
    GaugeProbe<ForceGauge> probe(QSize(600, 600));
    const QRect band(0, 114, 600, 73);
    const auto solidGreen = [](const QColor &c) {
        return c.green() > 200 && c.red() < 100 && c.blue() < 100;
    };
    QCOMPARE(countPixels(probe.image(), band, solidGreen), 0);
    probe.gauge->setSoftTouchActive(4);
    QCOMPARE(probe.gauge->softTouchActive(), 4);
    QVERIFY(countPixels(probe.image(), band, solidGreen) > 100);
    probe.gauge->setSoftTouchActive(0);
    QCOMPARE(countPixels(probe.image(), band, solidGreen), 0);
}

QTEST_MAIN(TestForceGauge)
#include "tst_forcegauge.moc"
