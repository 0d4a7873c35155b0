#include "payloadscale.h"

#include <cmath>

namespace {
constexpr double readingSpreadKg = 0.02;
}

PayloadScale::PayloadScale(double trueMassKg, bool failing, quint32 seed)
    : m_massKg(trueMassKg)
    , m_failing(failing)
    , m_random(seed)
{}

void PayloadScale::start()
{
    m_remainingS = weighingS;
}

bool PayloadScale::advance(double seconds)
{
    if (!isWeighing())
        return false;
    m_remainingS -= seconds;
    if (isWeighing())
        return false;
    m_remainingS = 0;
    const double reading = m_massKg + (m_random.generateDouble() * 2 - 1) * readingSpreadKg;
    m_knownKg = m_failing ? 0.0 : std::round(std::max(reading, 0.01) * 100) / 100;
    return true;
}

void PayloadScale::setKnownWeight(double kilograms)
{
    m_remainingS = 0;
    m_knownKg = kilograms;
}
