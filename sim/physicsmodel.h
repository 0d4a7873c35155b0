#pragma once

#include <QRandomGenerator>

// The actuator's carriage, in newton, millimetre and seconds. In force mode the force follows the
// command with a first-order lag and drives the carriage along its stroke; in position mode the
// carriage runs to the commanded position with limited speed and acceleration, and the force is
// what that motion takes. Soft touch caps force and speed near the end of the stroke.
class PhysicsModel
{
public:
    PhysicsModel(double maxForceN, double maxPositionMm, quint32 seed);

    void advance(double seconds);

    double maxForce() const { return m_forceRating; }
    double maxPosition() const { return m_stroke; }

    void setForceMode(bool on) { m_forceMode = on; }
    bool isForceMode() const { return m_forceMode; }
    void setCommandForce(double newtons);
    double commandForce() const { return m_forceCommand; }
    void setCommandPosition(double millimetres);
    double commandPosition() const { return m_positionCommand; }
    void setSoftTouch(bool enabled, double forceFraction, double positionFraction);
    void setPayloadMass(double kilograms);
    void placeCarriage(double millimetres);

    double actualForce() const { return m_measuredForce; }
    double actualPosition() const { return m_position; }
    double accelGravity() const { return m_measuredAccel; }
    bool softTouchActive() const;
    bool isStill() const;

private:
    void step(double dt);
    double forceTarget() const;
    double speedChange(double dt) const;
    double noise(double amplitude);

    double m_forceRating = 250;
    double m_stroke = 50;
    bool m_forceMode = false;
    double m_forceCommand = 0;
    double m_positionCommand = 0;
    bool softTouchEnabled = false;
    double softTouchForce = 1;
    double softTouchPosition = 1;
    double m_payloadKg = 0;

    double m_force = 0;
    double m_position = 0;
    double m_velocity = 0;
    double m_measuredForce = 0;
    double m_measuredAccel = 0;
    QRandomGenerator m_random;
};
