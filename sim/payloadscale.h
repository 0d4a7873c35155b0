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
    bool isWeighing() const { return m_remainingS > 0; }
    double weight() const { return isWeighing() ? weighingReading : m_knownKg; }
    void setKnownWeight(double kilograms);
    double trueMass() const { return m_massKg; }

private:
    double m_massKg = 0;
    bool m_failing = false;
    double m_knownKg = 0;
    double m_remainingS = 0;
    QRandomGenerator m_random;
};
