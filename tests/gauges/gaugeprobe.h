#pragma once

#include <QImage>
#include <QPalette>
#include <QWidget>
#include <QtMath>

// Hosts a gauge on the dashboard's dark ground and reads back what it shows.
template <typename Gauge>
class GaugeProbe
{
public:
    explicit GaugeProbe(QSize size = QSize(600, 600), Gauge *shown = new Gauge)
        : gauge(shown)
    {
        QPalette palette = host.palette();
        palette.setBrush(QPalette::Window, QBrush(QColor(0x22, 0x22, 0x22)));
        host.setPalette(palette);
        host.setAutoFillBackground(true);
        host.resize(size);
        gauge->setParent(&host);
        gauge->setGeometry(QRect(QPoint(0, 0), size));
    }

    QImage image() const
    {
        return gauge->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    // Dial position: angle in degrees clockwise from straight down, distance from the centre,
    // and an offset across the radius (positive to the right when looking outwards).
    QPoint at(double angleDeg, double distance, double across = 0) const
    {
        const QPointF centre(gauge->width() / 2, gauge->height() / 2);
        const double t = qDegreesToRadians(angleDeg + 90);
        const QPointF outward(qCos(t), qSin(t));
        const QPointF p = centre + distance * outward + across * QPointF(-outward.y(), outward.x());
        return QPoint(qFloor(p.x()), qFloor(p.y()));
    }

    QColor pixel(double angleDeg, double distance, double across = 0) const
    {
        return image().pixelColor(at(angleDeg, distance, across));
    }

    QWidget host;
    Gauge *const gauge;
};

// Dial angle of v on a scale from lo (at start) sweeping clockwise to hi (at end).
inline double dialAngle(double v, double lo, double hi, double start = 35, double end = -35)
{
    return start + (v - lo) * (360 - (start - end)) / (hi - lo);
}

inline bool isWhite(QColor c)
{
    return c.red() > 150 && c.green() > 150 && c.blue() > 150;
}
// The plain dial: dark, faintly green, never bright.
inline bool isDial(QColor c)
{
    return c.red() < 60 && c.green() < 80 && c.blue() < 60;
}
// The translucent red needle over the dial.
inline bool isRedNeedle(QColor c)
{
    return c.red() > 70 && c.red() > c.green() + 40 && c.blue() < 60;
}
// The translucent green command needle or the hub: far greener than the dial.
inline bool isBrightGreen(QColor c)
{
    return c.green() > 85 && c.red() < 50 && c.blue() < 50;
}
