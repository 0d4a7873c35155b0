#include "stateevent.h"

#include <QCoreApplication>

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

QString StateEvent::text(Language language) const
{
    const auto shown = [language](const char *english) {
        return language == Language::English ? QString::fromLatin1(english)
                                             : QCoreApplication::translate("StateEvent", english);
    };
    const QString number = std::isnan(value) ? QStringLiteral("?") : QString::number(value, 'g', 6);
    switch (kind) {
    case Kind::Connected:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "connected"));
    case Kind::LinkLost:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "link lost"));
    case Kind::ToolPresent:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "tool present"));
    case Kind::ToolLost:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "tool lost"));
    case Kind::ControlModeChanged:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "control mode %1")).arg(number);
    case Kind::ForceCommandChanged:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "force command %1")).arg(number);
    case Kind::PositionCommandChanged:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "position command %1")).arg(number);
    case Kind::WeighingStarted:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "weighing started"));
    case Kind::WeighingEnded:
        return shown(QT_TRANSLATE_NOOP("StateEvent", "weighing ended %1")).arg(number);
    case Kind::UnitsChanged:
        return std::isnan(value) ? shown(QT_TRANSLATE_NOOP("StateEvent", "units unknown"))
               : value != 0      ? shown(QT_TRANSLATE_NOOP("StateEvent", "units metric"))
                                 : shown(QT_TRANSLATE_NOOP("StateEvent", "units English"));
    }
    return QString();
}
