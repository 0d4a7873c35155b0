#include "radaranimation.h"

#include "canvas.h"
#include "polar.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>

namespace {

constexpr QPointF centre{20, 20};
constexpr qreal scopeRadius = 17;
constexpr qreal trailDeg = 110;

struct Echo
{
    qreal angleDeg;
    qreal radius;
};
constexpr Echo echoes[] = {{62, 10.5}, {203, 13}, {300, 6.5}};

QPointF polar(qreal radius, qreal angleDeg)
{
    return polarPoint(centre, radius, angleDeg);
}

} // namespace

QImage RadarAnimation::frame(int index, QSize size)
{
    Canvas canvas(size, QSizeF(40, 40));
    QPainter &p = canvas.painter();
    // The sweep turns clockwise, as on a ship's scope.
    const qreal sweepDeg = 90 - 360.0 * index / frameCount;

    QLinearGradient bezel(0, 0, 0, 40);
    bezel.setColorAt(0, QColor(0x90, 0x90, 0x90));
    bezel.setColorAt(1, QColor(0x30, 0x30, 0x30));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(centre, 19.6, 19.6);

    QRadialGradient screen(centre, scopeRadius);
    screen.setColorAt(0, QColor(0x0e, 0x2a, 0x0e));
    screen.setColorAt(1, QColor(0x05, 0x12, 0x05));
    p.setBrush(screen);
    p.drawEllipse(centre, scopeRadius, scopeRadius);

    p.setPen(QPen(QColor(0, 0xaa, 0, 110), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 6, 6);
    p.drawEllipse(centre, 12, 12);
    p.drawLine(QPointF(centre.x() - scopeRadius, centre.y()),
               QPointF(centre.x() + scopeRadius, centre.y()));
    p.drawLine(QPointF(centre.x(), centre.y() - scopeRadius),
               QPointF(centre.x(), centre.y() + scopeRadius));

    // The trail fades behind the beam (counter-clockwise of it).
    QConicalGradient trail(centre, sweepDeg);
    trail.setColorAt(0, QColor(0, 0xff, 0, 170));
    trail.setColorAt(trailDeg / 360, QColor(0, 0xff, 0, 0));
    trail.setColorAt(1, QColor(0, 0xff, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(trail);
    p.drawEllipse(centre, scopeRadius, scopeRadius);

    for (const Echo &echo : echoes) {
        // How far the beam has gone past the echo, 0 to 360 degrees.
        const qreal behind = std::fmod(echo.angleDeg - sweepDeg + 720, 360);
        const qreal glow = qMax(0.0, 1 - behind / 240);
        if (glow <= 0)
            continue;
        QColor dot(0x99, 0xff, 0x66);
        dot.setAlphaF(glow);
        p.setBrush(dot);
        p.drawEllipse(polar(echo.radius, echo.angleDeg), 1.8, 1.8);
    }

    p.setPen(QPen(QColor(0xcc, 0xff, 0xcc), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, polar(scopeRadius - 0.5, sweepDeg));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xcc, 0xff, 0xcc));
    p.drawEllipse(centre, 1.4, 1.4);
    return canvas.finish();
}
