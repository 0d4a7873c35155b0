#include "gaugeprobe.h"
#include "positiongauge.h"

#include <QtTest>

class TestPositionGauge : public QObject
{
    Q_OBJECT

private slots:
    void scaleFollowsMaxPosition_data();
    void scaleFollowsMaxPosition();
    void limitsShown_data();
    void limitsShown();
};

void TestPositionGauge::scaleFollowsMaxPosition_data()
{
    QTest::addColumn<double>("maxPosition");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("majorStep");
    QTest::addColumn<double>("lastLabel");
    QTest::addColumn<double>("labelStep");

    QTest::newRow("0 falls back to 20") << 0.0 << 20.0 << 1.0 << 20.0 << 2.0;
    QTest::newRow("-3 falls back to 20") << -3.0 << 20.0 << 1.0 << 20.0 << 2.0;
    QTest::newRow("1.5") << 1.5 << 1.5 << 0.1 << 1.4 << 0.2;
    QTest::newRow("2") << 2.0 << 2.0 << 0.1 << 2.0 << 0.2;
    QTest::newRow("12.3") << 12.3 << 13.0 << 1.0 << 12.0 << 2.0;
    QTest::newRow("23") << 23.0 << 25.0 << 5.0 << 25.0 << 5.0;
}

void TestPositionGauge::scaleFollowsMaxPosition()
{
    QFETCH(double, maxPosition);
    QFETCH(double, maximum);
    QFETCH(double, majorStep);
    QFETCH(double, lastLabel);
    QFETCH(double, labelStep);

    PositionGauge gauge;
    gauge.unitText = QStringLiteral("in");
    gauge.setMaxPosition(maxPosition);
    QVERIFY(qAbs(gauge.maximum - maximum) < 1e-9);
    QCOMPARE(gauge.minimum, 0.0);
    QVERIFY(sameValues(gauge.majorTickValues(), steps(0, maximum, majorStep)));
    QVERIFY(sameValues(gauge.scaleLabelValues(), steps(0, lastLabel, labelStep)));
    QCOMPARE(gauge.labelDecimals, 1);
    QCOMPARE(gauge.commandStep, 0.1);
    QCOMPARE(gauge.unitText, maxPosition > 0 ? QStringLiteral("in") : QStringLiteral("mm"));
}

void TestPositionGauge::limitsShown_data()
{
    QTest::addColumn<double>("negLimit");
    QTest::addColumn<double>("posLimit");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("lowArc");
    QTest::addColumn<bool>("highArc");
    QTest::addColumn<QString>("text");

    QTest::newRow("no limits") << 0.0 << 0.0 << 0.0 << false << false << QString();
    QTest::newRow("both, at 19") << 2.0 << 18.0 << 19.0 << true << true << "+LIMIT";
    QTest::newRow("both, at 1") << 2.0 << 18.0 << 1.0 << true << true << "-LIMIT";
    QTest::newRow("both, at 10") << 2.0 << 18.0 << 10.0 << true << true << QString();
    QTest::newRow("negative only, at 2") << 2.0 << 0.0 << 2.0 << true << false << "-LIMIT";
    QTest::newRow("positive only, at 0") << 0.0 << 18.0 << 0.0 << false << true << QString();
    QTest::newRow("positive only, at 18") << 0.0 << 18.0 << 18.0 << false << true << "+LIMIT";
}

void TestPositionGauge::limitsShown()
{
    QFETCH(double, negLimit);
    QFETCH(double, posLimit);
    QFETCH(double, value);
    QFETCH(bool, lowArc);
    QFETCH(bool, highArc);
    QFETCH(QString, text);

    // At 600 px the arcs run along radius 279, 5.25 px wide; ticks end at 279, so sample just
    // outside them, half-way between two minor ticks.
    GaugeProbe<PositionGauge> probe(QSize(600, 600));
    probe.gauge->setNegLimit(negLimit);
    probe.gauge->setPosLimit(posLimit);
    probe.gauge->setValue(value);
    QCOMPARE(probe.gauge->negLimit(), negLimit);
    QCOMPARE(probe.gauge->posLimit(), posLimit);
    const QImage image = probe.image();
    const auto red = [](const QColor &c) { return c.red() > 200 && c.green() < 60; };
    for (double v : {0.5, 1.3}) {
        const QColor c = image.pixelColor(probe.at(dialAngle(v, 0, 20), 281));
        QVERIFY2(lowArc ? red(c) : isDial(c), qPrintable(c.name()));
    }
    for (double v : {18.7, 19.5}) {
        const QColor c = image.pixelColor(probe.at(dialAngle(v, 0, 20), 281));
        QVERIFY2(highArc ? red(c) : isDial(c), qPrintable(c.name()));
    }
    // Between the limits there is never an arc.
    QVERIFY(isDial(image.pixelColor(probe.at(dialAngle(2.5, 0, 20), 281))));
    QVERIFY(isDial(image.pixelColor(probe.at(dialAngle(17.5, 0, 20), 281))));

    QCOMPARE(probe.gauge->limitText(), text);
    const int redInBand = countPixels(image, QRect(0, 114, 600, 73), red);
    QVERIFY2(text.isEmpty() ? redInBand == 0 : redInBand > 100,
             qPrintable(QString::number(redInBand)));
}

QTEST_MAIN(TestPositionGauge)
#include "tst_positiongauge.moc"
