#include "physicsmodel.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace {
constexpr double stepS = 0.005;
constexpr double forceLagS = 0.15;
constexpr double velocityLagS = 0.12;
constexpr double forceModeSpeedMmS = 120; // carriage speed when pushing with the full rating
constexpr double positionGainPerS = 6;
constexpr double maxSpeedMmS = 150;
constexpr double softTouchSpeedMmS = 15;
constexpr double maxAccelMmS2 = 3000;
constexpr double carriageMassKg = 1.5;
constexpr double viscousNPerMmS = 0.05;
constexpr double gravityMmS2 = 9806.65;
constexpr double forceNoiseShare = 0.002; // of the rating, so the needle lives
constexpr double accelNoiseG = 0.002;
constexpr double stillSpeedMmS = 0.5;
} // namespace

PhysicsModel::PhysicsModel(double maxForceN, double maxPositionMm, quint32 seed)
    : m_forceRating(maxForceN)
    , m_stroke(maxPositionMm)
    , m_random(seed)
{}

void PhysicsModel::advance(double seconds)
{
    while (seconds > 1e-9) {
        const double dt = std::min(seconds, stepS);
        step(dt);
        seconds -= dt;
    }
}

void PhysicsModel::setCommandForce(double newtons)
{
    m_forceCommand = qBound(-m_forceRating, newtons, m_forceRating);
}

void PhysicsModel::setCommandPosition(double millimetres)
{
    m_positionCommand = qBound(0.0, millimetres, m_stroke);
}

void PhysicsModel::setSoftTouch(bool enabled, double forceFraction, double positionFraction)
{
    softTouchEnabled = enabled;
    softTouchForce = qBound(0.0, forceFraction, 1.0);
    softTouchPosition = qBound(0.0, positionFraction, 1.0);
}

void PhysicsModel::setPayloadMass(double kilograms)
{
    m_payloadKg = std::max(0.0, kilograms);
}

void PhysicsModel::placeCarriage(double millimetres)
{
    m_position = qBound(0.0, millimetres, m_stroke);
    m_velocity = 0;
}

bool PhysicsModel::softTouchActive() const
{
    return softTouchEnabled && m_position >= softTouchPosition * m_stroke;
}

bool PhysicsModel::isStill() const
{
    return std::abs(m_velocity) < stillSpeedMmS;
}

void PhysicsModel::step(double dt)
{
    m_force += (forceTarget() - m_force) * (1 - std::exp(-dt / forceLagS));
    const double dv = speedChange(dt);
    m_velocity += dv;
    m_position += m_velocity * dt;
    if (m_position <= 0 || m_position >= m_stroke) {
        // the end stops take the carriage's speed; the stop's shock is not part of the reading
        m_position = qBound(0.0, m_position, m_stroke);
        m_velocity = 0;
    }
    m_measuredForce = m_force + noise(forceNoiseShare * m_forceRating);
    m_measuredAccel = dv / dt / gravityMmS2 + noise(accelNoiseG);
}

double PhysicsModel::forceTarget() const
{
    if (m_forceMode) {
        const double cap = softTouchActive() ? softTouchForce * m_forceRating : m_forceRating;
        return qBound(-cap, m_forceCommand, cap);
    }
    // what it takes to move the carriage and its payload the way it is being moved
    const double accelMmS2 = m_measuredAccel * gravityMmS2;
    return (carriageMassKg + m_payloadKg) * accelMmS2 / 1000 + viscousNPerMmS * m_velocity;
}

double PhysicsModel::speedChange(double dt) const
{
    if (m_forceMode) {
        double target = m_force / m_forceRating * forceModeSpeedMmS;
        if (softTouchActive())
            target = qBound(-softTouchSpeedMmS, target, softTouchSpeedMmS);
        return (target - m_velocity) * (1 - std::exp(-dt / velocityLagS));
    }
    const double limit = softTouchActive() ? softTouchSpeedMmS : maxSpeedMmS;
    const double wanted =
        qBound(-limit, positionGainPerS * (m_positionCommand - m_position), limit);
    const double maxChange = maxAccelMmS2 * dt;
    return qBound(-maxChange, wanted - m_velocity, maxChange);
}

double PhysicsModel::noise(double amplitude)
{
    return (m_random.generateDouble() * 2 - 1) * amplitude;
}
