#pragma once

#include <QPointF>
#include <QtMath>

// The point at the given distance from centre, at an angle in degrees counted
// counter-clockwise from three o'clock, as on a dial.
inline QPointF polarPoint(const QPointF &centre, qreal radius, qreal angleDeg)
{
    const qreal a = qDegreesToRadians(angleDeg);
    return centre + QPointF(radius * qCos(a), -radius * qSin(a));
}
