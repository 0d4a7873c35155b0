#include "stateevent.h"

#include <cmath>

namespace {

// NaN (missing) against NaN is no change.
bool differs(double a, double b)
{
    return std::isnan(a) ? !std::isnan(b) : a != b;
}

bool weighing(double payloadWeight)
{
    return payloadWeight < 0; // the device reports a negative weight while it weighs
}

} // namespace

QVector<StateEvent> StateEvent::changesBetween(const StateSample &previous, const StateSample &next)
{
    QVector<StateEvent> events;
    const auto add = [&](Kind kind, StateColumn column) {
        events.append({next.elapsedMs, kind, next.value(column)});
    };
    const auto changed = [&](StateColumn column) {
        return differs(previous.value(column), next.value(column));
    };
    if (changed(StateColumn::metricUnits))
        add(Kind::UnitsChanged, StateColumn::metricUnits);
    if (changed(StateColumn::controlMode))
        add(Kind::ControlModeChanged, StateColumn::controlMode);
    if (changed(StateColumn::commandForce))
        add(Kind::ForceCommandChanged, StateColumn::commandForce);
    if (changed(StateColumn::commandPosition))
        add(Kind::PositionCommandChanged, StateColumn::commandPosition);
    const bool wasWeighing = weighing(previous.value(StateColumn::payloadWeight));
    const bool isWeighing = weighing(next.value(StateColumn::payloadWeight));
    if (isWeighing && !wasWeighing)
        add(Kind::WeighingStarted, StateColumn::payloadWeight);
    else if (wasWeighing && !isWeighing)
        add(Kind::WeighingEnded, StateColumn::payloadWeight);
    return events;
}

QString StateEvent::text() const
{
    const QString number = std::isnan(value) ? QStringLiteral("?") : QString::number(value, 'g', 6);
    switch (kind) {
    case Kind::Connected:
        return QStringLiteral("connected");
    case Kind::LinkLost:
        return QStringLiteral("link lost");
    case Kind::ToolPresent:
        return QStringLiteral("tool present");
    case Kind::ToolLost:
        return QStringLiteral("tool lost");
    case Kind::ControlModeChanged:
        return QStringLiteral("control mode ") + number;
    case Kind::ForceCommandChanged:
        return QStringLiteral("force command ") + number;
    case Kind::PositionCommandChanged:
        return QStringLiteral("position command ") + number;
    case Kind::WeighingStarted:
        return QStringLiteral("weighing started");
    case Kind::WeighingEnded:
        return QStringLiteral("weighing ended ") + number;
    case Kind::UnitsChanged:
        return std::isnan(value) ? QStringLiteral("units unknown")
               : value != 0      ? QStringLiteral("units metric")
                                 : QStringLiteral("units English");
    }
    return QString();
}
