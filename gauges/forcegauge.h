#pragma once

#include "commandcirculargauge.h"

// Force gauge: symmetric scale chosen from the device's maximum force, and a "SOFT TOUCH" band
// while the device's soft-touch function is active.
class ForceGauge : public CommandCircularGauge
{
    Q_OBJECT

public:
    explicit ForceGauge(QWidget *parent = nullptr);

    // Chooses scale divisions, decimals and command resolution for a device maximum force;
    // a maximum that is not a positive number falls back to the default scale of 350 N, and so
    // does one beyond any actuator's, with a note on the dial.
    void setMaxForce(double maxForce);

    int softTouch = 0; // non-zero while soft touch is active

    QString accessibleValue() const override;

public slots:
    void setSoftTouchActive(int value);
    int softTouchActive() const;

protected:
    void drawScale(QPainter *painter) override;
};
