#include "tooliconpainter.h"

#include "canvas.h"
#include "ink.h"
#include "polar.h"
#include "programiconpainter.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPainterPathStroker>

namespace {

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient verticalGradient(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

} // namespace

QImage ToolIconPainter::fileOpen(QSize size)
{
    Canvas canvas(size, QSizeF(100, 100));
    QPainter &p = canvas.painter();

    QPainterPath back;
    back.moveTo(8, 84);
    back.lineTo(8, 20);
    back.quadTo(8, 14, 14, 14);
    back.lineTo(34, 14);
    back.quadTo(37, 14, 39, 16);
    back.lineTo(46, 23);
    back.lineTo(80, 23);
    back.quadTo(86, 23, 86, 29);
    back.lineTo(86, 84);
    back.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::amberDeep);
    p.drawPath(back);

    // The parameter sheet being taken out.
    p.setPen(roundPen(Ink::strokeShade, 2));
    p.setBrush(Ink::stroke);
    p.drawRoundedRect(QRectF(24, 6, 50, 50), 3, 3);
    p.setPen(roundPen(Ink::greenDeep, 6));
    p.drawLine(QPointF(33, 18), QPointF(64, 18));
    p.drawLine(QPointF(33, 30), QPointF(56, 30));

    QPainterPath flap;
    flap.moveTo(8, 84);
    flap.lineTo(20, 45);
    flap.quadTo(21.5, 40, 27, 40);
    flap.lineTo(91, 40);
    flap.quadTo(97, 40, 95.5, 45);
    flap.lineTo(85, 80);
    flap.quadTo(84, 84, 79, 84);
    flap.closeSubpath();
    p.setPen(roundPen(Ink::amberDeep, 2));
    p.setBrush(verticalGradient(40, 84, QColor(0xff, 0xcc, 0x4d), Ink::amber));
    p.drawPath(flap);
    return canvas.finish();
}

QImage ToolIconPainter::fileSave(QSize size)
{
    Canvas canvas(size, QSizeF(100, 107));
    QPainter &p = canvas.painter();

    QPainterPath body;
    body.moveTo(16, 10);
    body.lineTo(74, 10);
    body.lineTo(92, 28);
    body.lineTo(92, 94);
    body.quadTo(92, 100, 86, 100);
    body.lineTo(14, 100);
    body.quadTo(8, 100, 8, 94);
    body.lineTo(8, 16);
    body.quadTo(8, 10, 14, 10);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(verticalGradient(10, 100, Ink::stroke, QColor(0xc4, 0xc4, 0xc4)));
    p.drawPath(body);

    // Metal shutter with its window.
    p.setBrush(QColor(0x3a, 0x3a, 0x3a));
    p.drawRoundedRect(QRectF(26, 10, 42, 30), 3, 3);
    p.setBrush(Ink::stroke);
    p.drawRoundedRect(QRectF(53, 15, 9, 20), 2, 2);

    // Label.
    p.setBrush(verticalGradient(54, 100, Ink::green, Ink::greenDeep));
    p.drawRoundedRect(QRectF(20, 54, 60, 46), 5, 5);
    p.setPen(roundPen(QColor(255, 255, 255, 200), 5));
    p.drawLine(QPointF(30, 68), QPointF(70, 68));
    p.drawLine(QPointF(30, 82), QPointF(60, 82));
    return canvas.finish();
}

QImage ToolIconPainter::console(QSize size)
{
    Canvas canvas(size, QSizeF(100, 100));
    QPainter &p = canvas.painter();
    const QRectF window(7, 14, 86, 72);

    QPainterPath frame;
    frame.addRoundedRect(window, 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0c, 0x0c, 0x0c));
    p.drawPath(frame);

    // Title bar: the top of the window, clipped to its rounded outline.
    p.save();
    p.setClipPath(frame);
    p.setBrush(Ink::stroke);
    p.drawRect(QRectF(window.left(), window.top(), window.width(), 15));
    p.restore();

    p.setPen(roundPen(Ink::stroke, 6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);

    p.setPen(roundPen(Ink::green, 8));
    const QPointF prompt[] = {{22, 44}, {36, 56}, {22, 68}};
    p.drawPolyline(prompt, 3);
    p.drawLine(QPointF(45, 69), QPointF(66, 69));
    return canvas.finish();
}

QImage ToolIconPainter::gear(QSize size)
{
    Canvas canvas(size, QSizeF(100, 100));
    QPainter &p = canvas.painter();
    const QPointF centre(50, 50);
    constexpr int teeth = 8;
    constexpr qreal tipRadius = 47;
    constexpr qreal rootRadius = 35;

    QPolygonF outline;
    for (int i = 0; i < teeth; ++i) {
        const qreal axis = 90 + i * 360.0 / teeth;
        outline << polarPoint(centre, rootRadius, axis - 14)
                << polarPoint(centre, tipRadius, axis - 9)
                << polarPoint(centre, tipRadius, axis + 9)
                << polarPoint(centre, rootRadius, axis + 14)
                << polarPoint(centre, rootRadius, axis + 22.5);
    }
    QPainterPath wheel;
    wheel.addPolygon(outline);
    wheel.closeSubpath();
    wheel.addEllipse(centre, 14, 14); // the axle hole, by the odd-even fill rule

    p.setPen(Qt::NoPen);
    p.setBrush(verticalGradient(3, 97, QColor(0xf6, 0xf6, 0xf6), QColor(0xb0, 0xb0, 0xb0)));
    p.drawPath(wheel);
    p.setPen(QPen(Ink::green, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 21, 21);
    return canvas.finish();
}

QImage ToolIconPainter::refresh(QSize size)
{
    Canvas canvas(size, QSizeF(128, 128));
    QPainter &p = canvas.painter();
    const QPointF centre(64, 64);
    constexpr qreal radius = 40;
    constexpr qreal band = 15;

    QPainterPathStroker stroker;
    stroker.setWidth(band);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath arrows;
    // Two half turns, each ending in a head that points on round the circle.
    for (const qreal start : {20.0, 200.0}) {
        const qreal end = start + 128;
        QPainterPath arc;
        arc.arcMoveTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius,
                             2 * radius), start);
        arc.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                  start, end - start);
        arrows = arrows.united(stroker.createStroke(arc));
        QPainterPath head;
        head.addPolygon(QPolygonF() << polarPoint(centre, radius + 17, end)
                                    << polarPoint(centre, radius - 17, end)
                                    << polarPoint(centre, radius, end + 32));
        head.closeSubpath();
        arrows = arrows.united(head);
    }
    p.setPen(roundPen(QColor(0x00, 0x4d, 0x00), 3));
    p.setBrush(verticalGradient(20, 108, QColor(0x33, 0xdd, 0x33), Ink::greenDeep));
    p.drawPath(arrows.simplified());
    return canvas.finish();
}

QImage ToolIconPainter::document(QSize size)
{
    Canvas canvas(size, QSizeF(512, 512));
    QPainter &p = canvas.painter();

    QPainterPath page;
    page.moveTo(84, 24);
    page.lineTo(316, 24);
    page.lineTo(404, 112);
    page.lineTo(404, 472);
    page.quadTo(404, 488, 388, 488);
    page.lineTo(84, 488);
    page.quadTo(68, 488, 68, 472);
    page.lineTo(68, 40);
    page.quadTo(68, 24, 84, 24);
    page.closeSubpath();
    p.setPen(roundPen(QColor(0x80, 0x80, 0x80), 6));
    p.setBrush(verticalGradient(24, 488, QColor(0xfa, 0xfa, 0xfa), QColor(0xd6, 0xd6, 0xd6)));
    p.drawPath(page);

    const QPointF fold[] = {{316, 24}, {316, 100}, {330, 112}, {404, 112}};
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawPolygon(fold, 4);

    // Lines of settings: a key in green, its value in grey, nested once.
    struct Entry
    {
        qreal indent;
        qreal key;
        qreal value;
    };
    const Entry entries[] = {{0, 70, 0},  {34, 64, 96}, {34, 92, 60}, {34, 52, 120},
                             {34, 80, 0}, {68, 60, 70}, {68, 88, 40}, {34, 40, 0}};
    qreal y = 72;
    for (const Entry &entry : entries) {
        const qreal x = 104 + entry.indent;
        p.setPen(roundPen(Ink::greenDeep, 18));
        p.drawLine(QPointF(x, y), QPointF(x + entry.key, y));
        if (entry.value > 0) {
            p.setPen(roundPen(QColor(0x8c, 0x8c, 0x8c), 18));
            const qreal valueX = x + entry.key + 24;
            p.drawLine(QPointF(valueX, y), QPointF(valueX + entry.value, y));
        }
        y += 40;
    }

    ProgramIconPainter::paint(p, QRectF(272, 272, 224, 224));
    return canvas.finish();
}
