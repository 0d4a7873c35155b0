#include "forcegauge.h"

#include "gaugeslog.h"

#include <QPainter>

namespace {

constexpr double defaultMaxForce = 350;
// Actuators of this family are rated from tens to a few thousand newtons, a few hundred to a
// thousand pounds. A rating beyond this is no actuator's: its scale would need tens of
// thousands of ticks.
constexpr double maxRatedForce = 10000;

struct ForceScale
{
    double majorStep;
    double labelStep;
    int labelDecimals;
    double commandStep;
    bool oneValueDecimal; // rows that pin the value text to one decimal
};

ForceScale forceScaleFor(double maxForce)
{
    if (maxForce <= 50)
        return {5, 10, 1, 0.1, true};
    if (maxForce <= 100)
        return {10, 20, 1, 0.2, false};
    if (maxForce <= 250)
        return {25, 50, 0, 0.2, true};
    if (maxForce < 800)
        return {50, 100, 0, 0.5, true};
    return {100, 200, 0, 1.0, false}; // large actuators are commanded in whole units
}

} // namespace

ForceGauge::ForceGauge(QWidget *parent)
    : CommandCircularGauge(parent)
{
    minorTicks = 4;
    title = tr("FORCE");
    m_modeName = tr("force mode");
    setAccessibleName(tr("Force"));
    setMaxForce(defaultMaxForce);
    unitText = QStringLiteral("N");
}

void ForceGauge::setMaxForce(double maxForce)
{
    if (!(maxForce > 0)) {
        setMaxForce(defaultMaxForce);
        unitText = QStringLiteral("N");
        return;
    }
    if (maxForce > maxRatedForce) {
        setMaxForce(defaultMaxForce);
        rejectRating(tr("maximum force"), maxForce, maxRatedForce);
        return;
    }
    acceptRating();
    const ForceScale row = forceScaleFor(maxForce);
    majorStep = row.majorStep;
    labelStep = row.labelStep;
    labelDecimals = row.labelDecimals;
    commandStep = row.commandStep;
    if (row.oneValueDecimal)
        valueDecimals = 1;
    maximum = ceilToStep(maxForce, majorStep);
    minimum = -maximum;
    qCDebug(lcGauges) << "setMaxForce" << maxForce << "scale" << minimum << maximum;
    update();
}

void ForceGauge::setSoftTouchActive(int value)
{
    softTouch = value;
    update();
    announceValueChange();
}

int ForceGauge::softTouchActive() const
{
    return softTouch;
}

QString ForceGauge::accessibleValue() const
{
    const QString shown = CommandCircularGauge::accessibleValue();
    return softTouch ? shown + QStringLiteral(", ") + tr("soft touch") : shown;
}

void ForceGauge::drawScale(QPainter *painter)
{
    CommandCircularGauge::drawScale(painter);
    if (!softTouch)
        return;
    painter->save();
    painter->setPen(QColor(QStringLiteral("#0F0")));
    painter->setFont(gaugeFont(static_cast<int>(tickLength)));
    painter->drawText(statusBand(), Qt::AlignCenter, tr("SOFT TOUCH"));
    painter->restore();
}
