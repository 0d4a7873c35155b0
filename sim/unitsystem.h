#pragma once

// What a reported number measures; decides its conversion between unit systems.
enum class Quantity { None, Force, Weight, Position };

// The device works in newton, kilogram and millimetre inside and converts at its boundary to the
// unit system that "metricUnits" selects (pound-force, pound and inch when it is 0).
class UnitSystem
{
public:
    static constexpr double newtonsPerPound = 4.445;
    static constexpr double kilogramsPerPound = 1.0 / 2.2;
    static constexpr double millimetresPerInch = 25.4;

    explicit UnitSystem(bool metric);

    bool isMetric() const { return m_metric; }
    double fromMetric(Quantity quantity, double metricValue) const;
    double toMetric(Quantity quantity, double value) const;

private:
    double metricPerUnit(Quantity quantity) const;

    bool m_metric = true;
};
