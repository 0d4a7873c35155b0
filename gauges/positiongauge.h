#pragma once

#include "commandcirculargauge.h"

// Position gauge: stroke scale chosen from the device's maximum position, with the positive
// and negative stroke limits marked in red.
class PositionGauge : public CommandCircularGauge
{
    Q_OBJECT

public:
    explicit PositionGauge(QWidget *parent = nullptr);

    // Chooses the scale divisions for a device maximum position; a maximum that is not a
    // positive number falls back to the default stroke of 20 mm, and so does one beyond any
    // actuator's, with a note on the dial.
    void setMaxPosition(double maxPosition);

    // "+LIMIT" or "-LIMIT" when the measured position has reached a limit, else empty.
    QString limitText() const;

    QString accessibleValue() const override;

    double positiveLimit = 0; // 0: not set
    double negativeLimit = 0; // 0: not set

public slots:
    void setPosLimit(double value);
    double posLimit() const;
    void setNegLimit(double value);
    double negLimit() const;

protected:
    void drawScale(QPainter *painter) override;
    QRegion valueChangeRegion(double from, double to) const override;

private:
    QString limitTextAt(double v) const;
    void drawLimitArc(QPainter *painter, double from, double to) const;
};
