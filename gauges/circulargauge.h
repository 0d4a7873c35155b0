#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QVector>
#include <QWidget>

class QPainter;
class QTransform;

// Round instrument: dark dial, scale with major and minor ticks, numbers, title, value text,
// red needle and green hub. Everything is painted from the current size at each repaint; a new
// measured value repaints only the part of the widget it changes.
//
// Dial angles are in degrees, clockwise on the screen from straight down (90 is 9 o'clock,
// 180 is 12 o'clock). The scale sweeps clockwise from startAngle through
// 360 - (startAngle - endAngle) degrees.
class CircularGauge : public QWidget
{
    Q_OBJECT

public:
    explicit CircularGauge(QWidget *parent = nullptr);

    // Values of the major ticks, in drawing order; empty when the scale is unusable.
    QVector<double> majorTickValues() const;
    // Values of the scale numbers: from minimum in steps of labelStep.
    QVector<double> scaleLabelValues() const;
    // Minor ticks drawn between two major ones: none for fewer than one or more than
    // maxMinorTicks.
    int minorTickCount() const;

    // The first multiple of step at or above v. The quotient is rounded to single precision
    // first, so that 0.30000000000000004 / 0.1 counts as 3 and not 4, where single precision
    // holds it: from its smallest normal number up to 2^24.
    static double ceilToStep(double v, double step);
    // v as every number on the dial is shown ("%0.*lf"), except that a value rounding to zero
    // reads "0.0", never "-0.0".
    static QString formatNumber(double v, int decimals);

    // The largest magnitude a value text shows as a number: six digits with a sign, a decimal
    // and the unit fill the value box. Beyond it a number could only be shown cut off.
    static constexpr double shownMagnitudeLimit = 1e5;
    // At most this many major ticks, and as many scale numbers, are drawn; a scale needing more
    // draws none. Every scale from a usable rating needs far fewer.
    static constexpr int maxScaleMarks = 1000;
    // At most this many minor ticks between two major ones; more draw none.
    static constexpr double maxMinorTicks = 20;
    // v with valueDecimals, a blank and the unit, or "OUT OF RANGE" when v is too large to show.
    QString valueText(double v) const;
    static bool isShownAsNumber(double v);
    // What the gauge shows, in words for assistive technology: the value text here, the
    // subclasses add what they show besides.
    virtual QString accessibleValue() const;

    QString title = tr("FORCE");
    QString unitText = QStringLiteral("N");
    double centerX = 0;
    double centerY = 0;
    double radius = 0;
    double maximum = 50;
    double minimum = -50;
    double majorStep = 10;
    double labelStep = 10;
    int labelDecimals = 0;
    int valueDecimals = 0;
    double minorTicks = 4; // count of minor ticks between two major ticks
    double startAngle = 35;
    double endAngle = -35;
    QColor majorTickColor = QColor(QStringLiteral("#FFF"));
    QColor minorTickColor = QColor(QStringLiteral("#FFF"));
    double tickInset = 0;  // 0.07 x radius, set at each paint
    double tickLength = 0; // 0.07 x radius; also the unit of every font size
    double tickWidth = 0;  // 0.25 x tickInset
    double value = 0;
    // Said in the bottom gap when the scale is not the one the device asked for.
    QString scaleNote;

public slots:
    void setValue(double v);

protected:
    void paintEvent(QPaintEvent *event) override;

    // Tells assistive technology that what accessibleValue() says has changed.
    void announceValueChange();

    virtual void drawBackground(QPainter *painter);
    virtual void drawScale(QPainter *painter);
    virtual void drawMinorTicks(QPainter *painter, double from, int outerRadius, int innerRadius);
    virtual void drawForeground(QPainter *painter);
    virtual void drawTitle(QPainter *painter);
    virtual void drawScaleLabels(QPainter *painter);
    virtual void drawValueText(QPainter *painter);
    virtual void drawNeedle(QPainter *painter);
    virtual void drawHub(QPainter *painter);

    // Sweep of the scale in degrees.
    double span() const;
    // Dial angle of v in degrees; linear and unclamped.
    double valueToDegrees(double v) const;
    double valueToAngle(double v) const;
    // Value under a widget point, clamped to the scale.
    double pointToValue(int x, int y) const;
    // Point at a dial angle (degrees) and a distance from the centre.
    QPointF dialPoint(double angleDeg, double distance) const;

    // Point size of the value text, and the box below the centre that holds it.
    int valueFontSize() const;
    QRect valueTextBox() const;
    // A value text in the value box: a number in the value font, the out-of-range words smaller
    // and wrapped to fit.
    void drawValueBoxText(QPainter *painter, const QString &text, bool number,
                          const QColor &color) const;
    // Dial angle of the measured needle at v: past an end of the scale it turns into the gap,
    // but no further than the gap's middle, so it never comes round onto the scale; a value too
    // large to show rests at the end on its side.
    double needleDegrees(double v) const;
    // Text band above the title, used by the subclasses for status words.
    QRect statusBand() const;
    // A rating the scale could not follow: the default scale is shown, with a note saying so
    // and the reason in the tool tip. A usable rating takes both away.
    void rejectRating(const QString &what, double rating, double limit);
    void acceptRating();
    // Pen for scale strokes: solid line, square cap, bevel join.
    static QPen strokePen(const QColor &color, double width);
    static QFont gaugeFont(int pointSize);

    // Draws the two needle halves, left half (0,0) (-halfBase,halfBase) (-halfTip,length)
    // (0,length) and its mirror, turned to a dial angle in degrees.
    void drawNeedleShape(QPainter *painter, double angleDeg, double halfBase, double halfTip,
                         const QColor &leftColor, const QColor &rightColor) const;

    // What a change of the measured value from `from` to `to` shows differently: both
    // positions of its needle and, when its text changes, the value text. Subclasses that draw
    // more from the value add it.
    virtual QRegion valueChangeRegion(double from, double to) const;

private:
    // Whether marks every `step` along the scale stay within maxScaleMarks.
    bool marksFit(double step) const;
    void drawScaleNote(QPainter *painter);
    // From the needle's own frame (origin at the centre, +y towards the tip) to the widget,
    // turned to a dial angle in degrees.
    QTransform needleTransform(double angleDeg) const;
    // Every pixel the measured needle at v touches, its antialiased edge included.
    QRect needleBounds(double v) const;
};
