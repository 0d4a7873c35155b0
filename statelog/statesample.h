#pragma once

#include <QJsonObject>
#include <QString>

#include <array>

// The state members a sample keeps, in the order the dashboard examines them.
enum class StateColumn {
    metricUnits,
    actualForce,
    actualPosition,
    accelGravity,
    commandForce,
    commandPosition,
    payloadWeight,
    controlMode,
    posLimitPosition,
    negLimitPosition,
    dioValue,
};

// One poll's state at one moment: what a trend plots and a log writes. A member that is
// missing, not a number, or beyond anything a device measures is NaN, so that no scale and no
// column is ever sized by a stray value.
struct StateSample
{
    static constexpr int columnCount = int(StateColumn::dioValue) + 1;

    static const QString &key(int column);
    static StateSample fromRecord(qint64 elapsedMs, const QJsonObject &record);

    double value(StateColumn column) const { return values[size_t(column)]; }

    qint64 elapsedMs = 0; // on a monotonic clock, from the start of the log
    std::array<double, columnCount> values{};
};
