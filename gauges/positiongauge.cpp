#include "positiongauge.h"

#include "gaugeslog.h"

#include <QPainter>

namespace {

constexpr double defaultMaxPosition = 20;
// Strokes of this family reach a few hundred millimetres, some tens of inches. A stroke beyond
// this is no actuator's: its scale would need thousands of ticks.
constexpr double maxRatedPosition = 1000;

} // namespace

PositionGauge::PositionGauge(QWidget *parent)
    : CommandCircularGauge(parent)
{
    title = tr("POSITION");
    m_modeName = tr("position mode");
    setAccessibleName(tr("Position"));
    labelDecimals = 1;
    valueDecimals = 1;
    minorTicks = 4;
    commandStep = 0.1;
    setMaxPosition(defaultMaxPosition);
    unitText = QStringLiteral("mm");
}

void PositionGauge::setMaxPosition(double maxPosition)
{
    if (!(maxPosition > 0)) {
        setMaxPosition(defaultMaxPosition);
        unitText = QStringLiteral("mm");
        return;
    }
    if (maxPosition > maxRatedPosition) {
        setMaxPosition(defaultMaxPosition);
        rejectRating(tr("maximum position"), maxPosition, maxRatedPosition);
        return;
    }
    acceptRating();
    if (maxPosition <= 2) {
        majorStep = 0.1;
        labelStep = 0.2;
    } else if (maxPosition > 20) {
        majorStep = 5;
        labelStep = 5;
    } else {
        majorStep = 1;
        labelStep = 2;
    }
    maximum = ceilToStep(maxPosition, majorStep);
    minimum = 0;
    qCDebug(lcGauges) << "setMaxPosition" << maxPosition << "scale" << minimum << maximum;
    update();
}

QString PositionGauge::limitText() const
{
    return limitTextAt(value);
}

QString PositionGauge::limitTextAt(double v) const
{
    if (positiveLimit > 0 && v >= positiveLimit)
        return tr("+LIMIT");
    if (negativeLimit > 0 && v <= negativeLimit)
        return tr("-LIMIT");
    return QString();
}

QString PositionGauge::accessibleValue() const
{
    const QString shown = CommandCircularGauge::accessibleValue();
    const QString limit = limitText();
    return limit.isEmpty() ? shown : shown + QStringLiteral(", ") + limit;
}

QRegion PositionGauge::valueChangeRegion(double from, double to) const
{
    QRegion region = CommandCircularGauge::valueChangeRegion(from, to);
    if (limitTextAt(from) != limitTextAt(to))
        region += statusBand();
    return region;
}

void PositionGauge::setPosLimit(double value)
{
    positiveLimit = value;
    update();
    announceValueChange();
}

double PositionGauge::posLimit() const
{
    return positiveLimit;
}

void PositionGauge::setNegLimit(double value)
{
    negativeLimit = value;
    update();
    announceValueChange();
}

double PositionGauge::negLimit() const
{
    return negativeLimit;
}

void PositionGauge::drawScale(QPainter *painter)
{
    CommandCircularGauge::drawScale(painter);
    painter->save();
    if (negativeLimit > 0)
        drawLimitArc(painter, negativeLimit, 0);
    if (positiveLimit > 0)
        drawLimitArc(painter, positiveLimit, maximum);
    const QString text = limitText();
    if (!text.isEmpty()) {
        painter->setFont(gaugeFont(static_cast<int>(tickLength)));
        painter->setPen(QColor(Qt::red));
        painter->drawText(statusBand(), Qt::AlignCenter, text);
    }
    painter->restore();
}

void PositionGauge::drawLimitArc(QPainter *painter, double from, double to) const
{
    // The painter measures arcs counter-clockwise from 3 o'clock, in 16ths of a degree. A limit
    // beyond the scale marks no more than the scale.
    const auto arcAngle = [this](double v) {
        return static_cast<int>(270 - valueToDegrees(qBound(minimum, v, maximum)));
    };
    const double r = radius - tickInset;
    painter->setPen(strokePen(QColor(Qt::red), tickWidth));
    painter->drawArc(QRectF(centerX - r, centerY - r, 2 * r, 2 * r), arcAngle(from) * 16,
                     (arcAngle(to) - arcAngle(from)) * 16);
}
