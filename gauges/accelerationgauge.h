#pragma once

#include "circulargauge.h"

// Acceleration display in G, on a 270-degree dial whose gap faces 3 o'clock.
class AccelerationGauge : public CircularGauge
{
    Q_OBJECT

public:
    explicit AccelerationGauge(QWidget *parent = nullptr);
};
