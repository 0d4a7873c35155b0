#pragma once

#include <QImage>
#include <QPalette>
#include <QPointF>
#include <QWidget>
#include <QtMath>

// Hosts a gauge on the dashboard's dark ground and reads back what it shows.
template<typename Gauge>
class GaugeProbe
{
public:
    explicit GaugeProbe(QSize size)
    {
        QPalette palette = host.palette();
        palette.setBrush(QPalette::Window, QBrush(QColor(0x22, 0x22, 0x22)));
        host.setPalette(palette);
        host.setAutoFillBackground(true);
        host.resize(size);
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
        const QPointF right(-outward.y(), outward.x());
        const QPointF p = centre + distance * outward + across * right;
        return QPoint(qFloor(p.x()), qFloor(p.y()));
    }

    QColor pixel(double angleDeg, double distance, double across = 0) const
    {
        return image().pixelColor(at(angleDeg, distance, across));
    }

    QWidget host;
    Gauge *gauge = new Gauge(&host);
};

// Dial angle of v on a scale from lo (at start) sweeping clockwise to hi (at end).
inline double dialAngle(double v, double lo, double hi, double start = 35, double end = -35)
{
    return start + (v - lo) * (360 - (start - end)) / (hi - lo);
}

inline bool isWhite(const QColor &c, int floor = 200)
{
    return c.red() > floor && c.green() > floor && c.blue() > floor;
}

// The plain dial: dark, faintly green, never bright.
inline bool isDial(const QColor &c)
{
    return c.red() < 60 && c.green() < 80 && c.blue() < 60;
}

// The translucent red needle over the dial.
inline bool isRedNeedle(const QColor &c)
{
    return c.red() > 70 && c.red() > c.green() + 40 && c.blue() < 60;
}

// The translucent green command needle or the hub: far greener than the dial.
inline bool isBrightGreen(const QColor &c)
{
    return c.green() > 85 && c.red() < 50 && c.blue() < 50;
}

inline int countPixels(const QImage &image, const QRect &area, bool (*match)(const QColor &))
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += match(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

inline bool sameValues(const QVector<double> &actual, const QVector<double> &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (int i = 0; i < actual.size(); ++i)
        if (qAbs(actual[i] - expected[i]) > 1e-9)
            return false;
    return true;
}

inline QVector<double> steps(double from, double to, double step)
{
    QVector<double> values;
    const int n = qRound((to - from) / step);
    for (int i = 0; i <= n; ++i)
        values.append(from + i * step);
    return values;
}
