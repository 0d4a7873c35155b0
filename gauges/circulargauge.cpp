#include "circulargauge.h"

#include "gaugeaccessible.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr double pi = M_PI;

// Sums of fractional steps drift past the scale end (0.1 added up to 1.5 gives
// 1.5000000000000002); a mark that far within a step's millionth still belongs on the scale.
constexpr double endSlack = 1e-6;

// The measured needle's half widths at its base and at its tip, in units of tickInset.
constexpr double needleHalfBase = 0.5;
constexpr double needleHalfTip = 0.125;

// The widest a note in the bottom gap is drawn, in units of the radius: where the note's
// letters end, the dial's rim is three quarters of the radius wide.
constexpr double scaleNoteWidthShare = 0.7;

// Single precision holds every whole number up to here.
constexpr double singleExactLimit = 16777216.0; // 2^24

double degreesToRadians(double degrees)
{
    return degrees * pi / 180.0;
}

} // namespace

CircularGauge::CircularGauge(QWidget *parent)
    : QWidget(parent)
{
    GaugeAccessible::installFactory();
}

double CircularGauge::ceilToStep(double v, double step)
{
    const double quotient = v / step;
    // Beyond 2^24 single precision would round the quotient by whole steps, and below its
    // smallest normal number it would flush a positive quotient to zero: there the drift it
    // absorbs is no matter, and the quotient is taken as it is.
    const double size = std::abs(quotient);
    const bool singleHolds = size >= FLT_MIN && size <= singleExactLimit;
    return std::ceil(singleHolds ? static_cast<float>(quotient) : quotient) * step;
}

bool CircularGauge::marksFit(double step) const
{
    // Also false for a step that is not positive, which would never reach the end, and for
    // members that are not numbers.
    return maximum >= minimum && step > 0 && (maximum - minimum) / step < maxScaleMarks;
}

QVector<double> CircularGauge::majorTickValues() const
{
    QVector<double> ticks;
    if (!marksFit(majorStep))
        return ticks;
    const double end = maximum + endSlack * majorStep;
    double v = minimum;
    while (v <= end) {
        const double t = ceilToStep(v, majorStep);
        ticks.append(t);
        const double next = t + majorStep;
        if (!(next > v))
            break; // beyond double precision the scale cannot advance
        v = next;
    }
    return ticks;
}

QVector<double> CircularGauge::scaleLabelValues() const
{
    QVector<double> labels;
    if (!marksFit(labelStep))
        return labels;
    const double end = maximum + endSlack * labelStep;
    for (double v = minimum; v <= end; v += labelStep) {
        labels.append(v);
        if (!(v + labelStep > v))
            break;
    }
    return labels;
}

int CircularGauge::minorTickCount() const
{
    return minorTicks >= 1 && minorTicks <= maxMinorTicks ? static_cast<int>(minorTicks) : 0;
}

void CircularGauge::setValue(double v)
{
    const double previous = value;
    value = v;
    // The geometry is that of the last paint; before the first one everything is due anyway,
    // and a resize since then has made everything due again. A needle at no finite angle has
    // no bounds to repaint.
    if (radius > 0 && std::isfinite(previous) && std::isfinite(v))
        update(valueChangeRegion(previous, v));
    else
        update();
    announceValueChange();
}

void CircularGauge::announceValueChange()
{
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
}

void CircularGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    centerX = width() / 2;
    centerY = height() / 2;
    radius = qMin(width(), height()) / 2;
    tickInset = 0.07 * radius;
    tickLength = tickInset;
    tickWidth = 0.25 * tickInset;

    drawBackground(&painter);
    drawScale(&painter);
    drawForeground(&painter);
}

void CircularGauge::drawBackground(QPainter *painter)
{
    painter->save();
    // The outermost stop takes the ground of the hosting widget, so the rim fades into it.
    const QWidget *ground = parentWidget() ? parentWidget() : this;
    QRadialGradient gradient(QPointF(centerX, centerY), radius);
    gradient.setColorAt(0.0, QColor(32, 32, 32));
    gradient.setColorAt(0.93, QColor(0, 50, 0));
    gradient.setColorAt(0.95, QColor(0, 0, 0));
    gradient.setColorAt(0.98, QColor(160, 160, 160));
    gradient.setColorAt(1.0, ground->palette().color(QPalette::Window));
    painter->fillRect(QRect(0, 0, width(), height()), gradient);
    painter->restore();
}

void CircularGauge::drawScale(QPainter *painter)
{
    painter->save();
    const double outer = radius - tickInset;
    const double inner = outer - tickLength;
    // drawMinorTicks restores the painter, so the major-tick pen holds for the whole loop.
    painter->setPen(strokePen(majorTickColor, tickWidth));
    for (double t : majorTickValues()) {
        const double angle = valueToDegrees(t);
        painter->drawLine(dialPoint(angle, outer), dialPoint(angle, inner));
        if (t < maximum)
            drawMinorTicks(painter, t, static_cast<int>(outer), static_cast<int>(inner));
    }
    painter->restore();
    drawScaleNote(painter);
}

void CircularGauge::drawScaleNote(QPainter *painter)
{
    if (scaleNote.isEmpty())
        return;
    painter->save();
    painter->setPen(QColor(QStringLiteral("#CC0")));
    // Across the gap within the dial's rim; a longer note, as a translation may be, is set
    // smaller to stay there.
    QFont font = gaugeFont(static_cast<int>(tickLength));
    const double room = scaleNoteWidthShare * radius;
    const int wide = QFontMetrics(font, painter->device()).horizontalAdvance(scaleNote);
    if (wide > room)
        font.setPointSizeF(font.pointSizeF() * room / wide);
    painter->setFont(font);
    // The bottom gap of the dial, below the command buttons and clear of the scale's ends.
    const QRect gap(0, static_cast<int>(centerY + 0.8 * radius), width(),
                    static_cast<int>(2 * tickLength));
    painter->drawText(gap, Qt::AlignCenter, scaleNote);
    painter->restore();
}

void CircularGauge::drawMinorTicks(QPainter *painter, double from, int outerRadius, int innerRadius)
{
    const int count = minorTickCount();
    if (from >= maximum || count == 0)
        return;
    painter->save();
    // Minor ticks are half as long as major ones, measured from the same outer end.
    const int minorInner = static_cast<int>(innerRadius + 0.5 * tickLength);
    painter->setPen(strokePen(minorTickColor, 0.5 * tickWidth));
    for (int i = 1; i <= count; ++i) {
        const double angle = valueToDegrees(from + i * majorStep / (minorTicks + 1));
        painter->drawLine(dialPoint(angle, outerRadius), dialPoint(angle, minorInner));
    }
    painter->restore();
}

void CircularGauge::drawForeground(QPainter *painter)
{
    drawTitle(painter);
    drawScaleLabels(painter);
    drawValueText(painter);
    drawNeedle(painter);
    drawHub(painter);
}

void CircularGauge::drawTitle(QPainter *painter)
{
    painter->save();
    painter->setPen(QColor(Qt::white));
    painter->setFont(gaugeFont(static_cast<int>(2 * tickLength)));
    const QRect band(0, static_cast<int>(centerY - (radius - tickLength) / 2.5), width(),
                     static_cast<int>(3 * tickLength + 10));
    painter->drawText(band, Qt::AlignCenter, title);
    painter->restore();
}

void CircularGauge::drawScaleLabels(QPainter *painter)
{
    painter->save();
    painter->setPen(QColor(Qt::white));
    painter->setFont(gaugeFont(static_cast<int>(1.5 * tickLength)));
    const double labelRadius = radius - 4 * tickLength;
    const double halfHeight = 3 * tickLength + 10;
    for (double v : scaleLabelValues()) {
        const QPointF anchor = dialPoint(valueToDegrees(v), labelRadius);
        const QRect box(static_cast<int>(anchor.x() - 100),
                        static_cast<int>(anchor.y() - halfHeight), 200,
                        static_cast<int>(2 * halfHeight));
        painter->drawText(box, Qt::AlignCenter, formatNumber(v, labelDecimals));
    }
    painter->restore();
}

void CircularGauge::drawValueText(QPainter *painter)
{
    painter->save();
    drawValueBoxText(painter, valueText(value), isShownAsNumber(value), QColor(Qt::white));
    painter->restore();
}

void CircularGauge::drawValueBoxText(QPainter *painter, const QString &text, bool number,
                                     const QColor &color) const
{
    const int s = valueFontSize();
    painter->setFont(gaugeFont(number ? s : static_cast<int>(0.8 * s)));
    painter->setPen(color);
    painter->drawText(valueTextBox(), Qt::AlignCenter | Qt::TextWordWrap, text);
}

void CircularGauge::drawNeedle(QPainter *painter)
{
    painter->save();
    drawNeedleShape(painter, needleDegrees(value), needleHalfBase * tickInset,
                    needleHalfTip * tickInset, QColor(160, 0, 0, 120), QColor(240, 0, 0, 120));
    painter->restore();
}

void CircularGauge::drawHub(QPainter *painter)
{
    painter->save();
    const double c = 0.08 * radius;
    QRadialGradient gradient(QPointF(centerX, centerY), c);
    gradient.setColorAt(0.0, QColor(0, 128, 0));
    gradient.setColorAt(0.9, QColor(0, 32, 0));
    gradient.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter->fillRect(QRectF(centerX - c, centerY - c, 2 * c, 2 * c), gradient);
    painter->restore();
}

void CircularGauge::drawNeedleShape(QPainter *painter, double angleDeg, double halfBase,
                                    double halfTip, const QColor &leftColor,
                                    const QColor &rightColor) const
{
    const double length = radius - 1.5 * tickInset;
    QPainterPath left;
    left.moveTo(0, 0);
    left.lineTo(-halfBase, halfBase);
    left.lineTo(-halfTip, length);
    left.lineTo(0, length);
    left.closeSubpath();
    const QPainterPath right = QTransform::fromScale(-1, 1).map(left);

    const QTransform toDial = needleTransform(angleDeg);
    painter->fillPath(toDial.map(left), leftColor);
    painter->fillPath(toDial.map(right), rightColor);
}

QTransform CircularGauge::needleTransform(double angleDeg) const
{
    QTransform toDial;
    toDial.translate(centerX, centerY);
    toDial.rotate(angleDeg); // clockwise on the screen; 0 points straight down
    return toDial;
}

double CircularGauge::needleDegrees(double v) const
{
    const double scaleEnd = startAngle + span();
    if (!isShownAsNumber(v))
        return v < 0 ? startAngle : scaleEnd;
    const double halfGap = qMax(0.0, startAngle - endAngle) / 2;
    return qBound(startAngle - halfGap, valueToDegrees(v), scaleEnd + halfGap);
}

QRect CircularGauge::needleBounds(double v) const
{
    const double halfBase = needleHalfBase * tickInset;
    const double halfTip = needleHalfTip * tickInset;
    const double length = radius - 1.5 * tickInset;
    const QPolygonF outline(QVector<QPointF>{QPointF(0, 0), QPointF(-halfBase, halfBase),
                                             QPointF(-halfTip, length), QPointF(halfTip, length),
                                             QPointF(halfBase, halfBase)});
    // A pixel of margin: an antialiased edge may tint a pixel it only grazes.
    return needleTransform(needleDegrees(v))
        .map(outline)
        .boundingRect()
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

QRegion CircularGauge::valueChangeRegion(double from, double to) const
{
    QRegion region = QRegion(needleBounds(from)) + needleBounds(to);
    if (valueText(from) != valueText(to)) {
        // The whole width: a centred text longer than its box runs past the box's sides.
        const QRect box = valueTextBox();
        region += QRect(0, box.top(), width(), box.height());
    }
    return region;
}

double CircularGauge::span() const
{
    return 360 - (startAngle - endAngle);
}

double CircularGauge::valueToDegrees(double v) const
{
    return startAngle + (v - minimum) * span() / (maximum - minimum);
}

double CircularGauge::valueToAngle(double v) const
{
    return degreesToRadians(valueToDegrees(v));
}

double CircularGauge::pointToValue(int x, int y) const
{
    const double dx = x - centerX;
    const double dy = y - centerY;
    double phi = std::atan2(dy, dx) - pi / 2;
    if (phi < 0)
        phi += 2 * pi;
    const double phiDegrees = phi * 180.0 / pi;
    const double v = (phiDegrees - startAngle) / (span() / (maximum - minimum)) + minimum;
    return qBound(minimum, v, maximum);
}

QPointF CircularGauge::dialPoint(double angleDeg, double distance) const
{
    const double theta = degreesToRadians(angleDeg + 90);
    return QPointF(centerX + distance * std::cos(theta), centerY + distance * std::sin(theta));
}

int CircularGauge::valueFontSize() const
{
    return static_cast<int>(2 * tickLength);
}

QRect CircularGauge::valueTextBox() const
{
    const int s = valueFontSize();
    return QRect(static_cast<int>(centerX - 4 * s), static_cast<int>(centerY + 1.5 * s), 8 * s,
                 3 * s);
}

bool CircularGauge::isShownAsNumber(double v)
{
    return std::abs(v) < shownMagnitudeLimit; // false for what is not a number, too
}

QString CircularGauge::valueText(double v) const
{
    if (!isShownAsNumber(v))
        return tr("OUT OF RANGE");
    return formatNumber(v, valueDecimals) + QLatin1Char(' ') + unitText;
}

QString CircularGauge::accessibleValue() const
{
    return valueText(value);
}

QRect CircularGauge::statusBand() const
{
    return QRect(0, static_cast<int>(centerY - (radius - tickLength) / 1.5), width(),
                 static_cast<int>(3 * tickLength + 10));
}

void CircularGauge::rejectRating(const QString &what, double rating, double limit)
{
    scaleNote = tr("BAD RATING");
    setToolTip(tr("The device's %1 of %2 is beyond %3: the default scale is shown.")
                   .arg(what, QString::number(rating), QString::number(limit)));
    update();
}

void CircularGauge::acceptRating()
{
    scaleNote.clear();
    setToolTip(QString());
}

QPen CircularGauge::strokePen(const QColor &color, double width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QString CircularGauge::formatNumber(double v, int decimals)
{
    QString text = QString::asprintf("%0.*lf", decimals, v);
    // Sensor noise around zero would otherwise flip the text between "0.0" and "-0.0".
    const bool negativeZero = text.startsWith(QLatin1Char('-'))
                              && std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) {
                                     return c == QLatin1Char('0') || c == QLatin1Char('.');
                                 });
    if (negativeZero)
        text.remove(0, 1);
    return text;
}

QFont CircularGauge::gaugeFont(int pointSize)
{
    return QFont(QStringLiteral("Arial"), pointSize);
}
