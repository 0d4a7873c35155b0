#include "statesample.h"

#include "devicevocabulary.h"

#include <cmath>
#include <limits>

namespace {

// Far beyond any force, stroke or acceleration an actuator reports, in either unit system.
constexpr double saneMagnitude = 1e9;
constexpr double wordLimit = 4294967296.0; // the I/O word is 32 bits

double saneNumber(const QJsonValue &value, StateColumn column)
{
    constexpr double missing = std::numeric_limits<double>::quiet_NaN();
    if (!value.isDouble())
        return missing;
    const double number = value.toDouble();
    if (column == StateColumn::dioValue)
        return number >= 0 && number < wordLimit && number == std::trunc(number) ? number : missing;
    return std::isfinite(number) && std::abs(number) <= saneMagnitude ? number : missing;
}

} // namespace

const QString &StateSample::key(int column)
{
    static const std::array<QString, columnCount> keys{
        RecordKey::metricUnits,      RecordKey::actualForce,  RecordKey::actualPosition,
        RecordKey::accelGravity,     RecordKey::commandForce, RecordKey::commandPosition,
        RecordKey::payloadWeight,    RecordKey::controlMode,  RecordKey::posLimitPosition,
        RecordKey::negLimitPosition, RecordKey::dioValue};
    return keys[size_t(column)];
}

StateSample StateSample::fromRecord(qint64 elapsedMs, const QJsonObject &record)
{
    StateSample sample;
    sample.elapsedMs = elapsedMs;
    for (int column = 0; column < columnCount; ++column)
        sample.values[size_t(column)] = saneNumber(record.value(key(column)), StateColumn(column));
    return sample;
}
