#include "payloadscale.h"

#include <cmath>

namespace {
constexpr double readingSpreadKg = 0.02;
}

PayloadScale::PayloadScale(double trueMassKg, bool failing, quint32 seed)
    : massKg(trueMassKg)
    , failing(failing)
    , random(seed)
{}

void PayloadScale::start()
{
    remainingS = weighingS;
}

bool PayloadScale::advance(double seconds)
{
    if (!isWeighing())
        return false;
    remainingS -= seconds;
    if (isWeighing())
        return false;
    remainingS = 0;
    const double reading = massKg + (random.generateDouble() * 2 - 1) * readingSpreadKg;
    knownKg = failing ? 0.0 : std::round(std::max(reading, 0.01) * 100) / 100;
    return true;
}

void PayloadScale::setKnownWeight(double kilograms)
{
    remainingS = 0;
    knownKg = kilograms;
}
