#pragma once

// The device's two unit systems and the limits derived from what a tool reports. Forces are held
// in newtons, weights in kilograms and positions in millimetres; the English figures are only
// ever shown.
namespace UnitConversion {

constexpr double newtonsPerPoundForce = 4.445; // the device's own figure, not 4.448
constexpr double kilogramsPerPound = 1.0 / 2.2;
constexpr double millimetresPerInch = 25.4;
constexpr double newtonsPerKilogram = 9.8; // payload weight from force, not 9.81

// A tool is driven to twice its rated force. The rating comes in the unit system of the tool's
// configuration record.
constexpr double forceLimitNewtons(double reportedMaxForce, bool recordMetric)
{
    const double limit = 2 * reportedMaxForce;
    return recordMetric ? limit : limit * newtonsPerPoundForce;
}

constexpr double payloadLimitKilograms(double forceLimitNewtons)
{
    return forceLimitNewtons / newtonsPerKilogram;
}

// The stroke comes in the unit system of the state record, not of the configuration record.
constexpr double positionLimitMillimetres(double reportedMaxPosition, bool stateMetric)
{
    return stateMetric ? reportedMaxPosition : reportedMaxPosition * millimetresPerInch;
}

constexpr double shownForce(double newtons, bool metric)
{
    return metric ? newtons : newtons / newtonsPerPoundForce;
}

constexpr double shownWeight(double kilograms, bool metric)
{
    return metric ? kilograms : kilograms / kilogramsPerPound;
}

constexpr double shownPosition(double millimetres, bool metric)
{
    return metric ? millimetres : millimetres / millimetresPerInch;
}

} // namespace UnitConversion
