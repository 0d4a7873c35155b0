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
    : forceRating(maxForceN)
    , stroke(maxPositionMm)
    , random(seed)
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
    forceCommand = qBound(-forceRating, newtons, forceRating);
}

void PhysicsModel::setCommandPosition(double millimetres)
{
    positionCommand = qBound(0.0, millimetres, stroke);
}

void PhysicsModel::setSoftTouch(bool enabled, double forceFraction, double positionFraction)
{
    softTouchEnabled = enabled;
    softTouchForce = qBound(0.0, forceFraction, 1.0);
    softTouchPosition = qBound(0.0, positionFraction, 1.0);
}

void PhysicsModel::setPayloadMass(double kilograms)
{
    payloadKg = std::max(0.0, kilograms);
}

void PhysicsModel::placeCarriage(double millimetres)
{
    position = qBound(0.0, millimetres, stroke);
    velocity = 0;
}

bool PhysicsModel::softTouchActive() const
{
    return softTouchEnabled && position >= softTouchPosition * stroke;
}

bool PhysicsModel::isStill() const
{
    return std::abs(velocity) < stillSpeedMmS;
}

void PhysicsModel::step(double dt)
{
    force += (forceTarget() - force) * (1 - std::exp(-dt / forceLagS));
    const double dv = speedChange(dt);
    velocity += dv;
    position += velocity * dt;
    if (position <= 0 || position >= stroke) {
        // the end stops take the carriage's speed; the stop's shock is not part of the reading
        position = qBound(0.0, position, stroke);
        velocity = 0;
    }
    measuredForce = force + noise(forceNoiseShare * forceRating);
    measuredAccel = dv / dt / gravityMmS2 + noise(accelNoiseG);
}

double PhysicsModel::forceTarget() const
{
    if (forceMode) {
        const double cap = softTouchActive() ? softTouchForce * forceRating : forceRating;
        return qBound(-cap, forceCommand, cap);
    }
    // what it takes to move the carriage and its payload the way it is being moved
    const double accelMmS2 = measuredAccel * gravityMmS2;
    return (carriageMassKg + payloadKg) * accelMmS2 / 1000 + viscousNPerMmS * velocity;
}

double PhysicsModel::speedChange(double dt) const
{
    if (forceMode) {
        double target = force / forceRating * forceModeSpeedMmS;
        if (softTouchActive())
            target = qBound(-softTouchSpeedMmS, target, softTouchSpeedMmS);
        return (target - velocity) * (1 - std::exp(-dt / velocityLagS));
    }
    const double limit = softTouchActive() ? softTouchSpeedMmS : maxSpeedMmS;
    const double wanted = qBound(-limit, positionGainPerS * (positionCommand - position), limit);
    const double maxChange = maxAccelMmS2 * dt;
    return qBound(-maxChange, wanted - velocity, maxChange);
}

double PhysicsModel::noise(double amplitude)
{
    return (random.generateDouble() * 2 - 1) * amplitude;
}
