#include "unitsystem.h"

UnitSystem::UnitSystem(bool metric)
    : m_metric(metric)
{}

double UnitSystem::fromMetric(Quantity quantity, double metricValue) const
{
    return metricValue / metricPerUnit(quantity);
}

double UnitSystem::toMetric(Quantity quantity, double value) const
{
    return value * metricPerUnit(quantity);
}

double UnitSystem::metricPerUnit(Quantity quantity) const
{
    if (m_metric)
        return 1.0;
    switch (quantity) {
    case Quantity::Force:
        return newtonsPerPound;
    case Quantity::Weight:
        return kilogramsPerPound;
    case Quantity::Position:
        return millimetresPerInch;
    case Quantity::None:
        break;
    }
    return 1.0;
}
