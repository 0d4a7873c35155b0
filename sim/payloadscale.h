#pragma once

#include <QRandomGenerator>

// The payload weighing: a run of a few seconds during which the weight reads negative, then the
// weight found (or 0 when the weighing fails). Weights are in kilograms.
class PayloadScale
{
public:
    static constexpr double weighingS = 2.0;
    static constexpr double weighingReading = -1.0;

    PayloadScale(double trueMassKg, bool failing, quint32 seed);

    void start();
    // True when a weighing ended during this advance; the result is then in weight().
    bool advance(double seconds);
    bool isWeighing() const { return remainingS > 0; }
    double weight() const { return isWeighing() ? weighingReading : knownKg; }
    void setKnownWeight(double kilograms);
    double trueMass() const { return massKg; }

private:
    double massKg = 0;
    bool failing = false;
    double knownKg = 0;
    double remainingS = 0;
    QRandomGenerator random;
};
