#include "accelerationgauge.h"

AccelerationGauge::AccelerationGauge(QWidget *parent)
    : CircularGauge(parent)
{
    title = tr("ACCELERATION");
    setAccessibleName(tr("Acceleration"));
    unitText = QStringLiteral("G");
    minorTicks = 4;
    labelDecimals = 1;
    valueDecimals = 1;
    minimum = -1.5;
    maximum = 1.5;
    majorStep = 0.5;
    labelStep = 0.5;
    startAngle = -45;
    endAngle = -135;
}
