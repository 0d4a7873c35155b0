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

    double maxForce() const { return forceRating; }
    double maxPosition() const { return stroke; }

    void setForceMode(bool on) { forceMode = on; }
    bool isForceMode() const { return forceMode; }
    void setCommandForce(double newtons);
    double commandForce() const { return forceCommand; }
    void setCommandPosition(double millimetres);
    double commandPosition() const { return positionCommand; }
    void setSoftTouch(bool enabled, double forceFraction, double positionFraction);
    void setPayloadMass(double kilograms);
    void placeCarriage(double millimetres);

    double actualForce() const { return measuredForce; }
    double actualPosition() const { return position; }
    double accelGravity() const { return measuredAccel; }
    bool softTouchActive() const;
    bool isStill() const;

private:
    void step(double dt);
    double forceTarget() const;
    double speedChange(double dt) const;
    double noise(double amplitude);

    double forceRating = 250;
    double stroke = 50;
    bool forceMode = false;
    double forceCommand = 0;
    double positionCommand = 0;
    bool softTouchEnabled = false;
    double softTouchForce = 1;
    double softTouchPosition = 1;
    double payloadKg = 0;

    double force = 0;
    double position = 0;
    double velocity = 0;
    double measuredForce = 0;
    double measuredAccel = 0;
    QRandomGenerator random;
};
