#include "programiconpainter.h"

#include "canvas.h"
#include "ink.h"
#include "polar.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// The drawing is laid out on a 512 unit square around its centre.
constexpr qreal side = 512;
constexpr QPointF centre{256, 256};
constexpr qreal startDeg = 225; // scale start, lower left
constexpr qreal sweepDeg = 270; // clockwise to the lower right
constexpr qreal needleAt = 0.64;
constexpr qreal amberFrom = 0.78;

qreal angleAt(qreal fraction)
{
    return startDeg - sweepDeg * fraction;
}

QPointF polar(qreal radius, qreal angleDeg)
{
    return polarPoint(centre, radius, angleDeg);
}

QRectF circle(qreal radius)
{
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

void strokeArc(QPainter &painter, qreal radius, qreal from, qreal to, const QPen &pen)
{
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal start = angleAt(to);
    painter.drawArc(circle(radius), qRound(start * 16), qRound((angleAt(from) - start) * 16));
}

} // namespace

QImage ProgramIconPainter::render(int pixels)
{
    Canvas canvas(QSize(pixels, pixels), QSizeF(side, side));
    paint(canvas.painter(), QRectF(0, 0, side, side));
    return canvas.finish();
}

void ProgramIconPainter::paint(QPainter &painter, const QRectF &bounds)
{
    painter.save();
    painter.translate(bounds.topLeft());
    painter.scale(bounds.width() / side, bounds.height() / side);
    paintBezel(painter);
    paintFace(painter);
    paintBands(painter);
    paintTicks(painter);
    paintLabel(painter);
    paintNeedle(painter);
    paintGlass(painter);
    painter.restore();
}

void ProgramIconPainter::paintBezel(QPainter &painter)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    QLinearGradient outer(0, 8, 0, 504);
    outer.setColorAt(0, QColor(0x8a, 0x8a, 0x8a));
    outer.setColorAt(0.5, Ink::steelLight.darker(140));
    outer.setColorAt(1, Ink::steelDark);
    painter.setBrush(outer);
    painter.drawEllipse(circle(246));
    // A light rim keeps the outline visible on dark grounds.
    painter.setPen(QPen(QColor(255, 255, 255, 70), 5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle(243));
    painter.setPen(Qt::NoPen);
    QLinearGradient inner(0, 30, 0, 482);
    inner.setColorAt(0, Ink::steelDark);
    inner.setColorAt(1, QColor(0x5c, 0x5c, 0x5c));
    painter.setBrush(inner);
    painter.drawEllipse(circle(228));
    painter.restore();
}

void ProgramIconPainter::paintFace(QPainter &painter)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    QRadialGradient face(centre + QPointF(0, -40), 240);
    face.setColorAt(0, QColor(0x34, 0x34, 0x34));
    face.setColorAt(0.7, Ink::ground);
    face.setColorAt(1, Ink::groundDeep);
    painter.setBrush(face);
    painter.drawEllipse(circle(214));
    painter.restore();
}

void ProgramIconPainter::paintBands(QPainter &painter)
{
    painter.save();
    QPen band(Ink::greenDeep, 22, Qt::SolidLine, Qt::FlatCap);
    strokeArc(painter, 166, 0, amberFrom, band);
    band.setColor(Ink::amber);
    strokeArc(painter, 166, amberFrom, 1, band);
    painter.restore();
}

void ProgramIconPainter::paintTicks(QPainter &painter)
{
    painter.save();
    constexpr int majorSteps = 6;
    constexpr int minorPerMajor = 4;
    for (int i = 0; i <= majorSteps * minorPerMajor; ++i) {
        const bool major = i % minorPerMajor == 0;
        const qreal angle = angleAt(qreal(i) / (majorSteps * minorPerMajor));
        painter.setPen(QPen(major ? Ink::stroke : Ink::strokeShade, major ? 13 : 6,
                            Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(polar(major ? 150 : 160, angle), polar(200, angle));
    }
    painter.restore();
}

void ProgramIconPainter::paintLabel(QPainter &painter)
{
    painter.save();
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(82);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    painter.setFont(font);
    painter.setPen(Ink::stroke);
    painter.drawText(QRectF(96, 318, 320, 100), Qt::AlignCenter, QStringLiteral("VKT"));
    painter.restore();
}

void ProgramIconPainter::paintNeedle(QPainter &painter)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(-angleAt(needleAt));
    QPainterPath needle;
    needle.moveTo(-50, -20);
    needle.lineTo(190, -5);
    needle.quadTo(200, 0, 190, 5);
    needle.lineTo(-50, 20);
    needle.closeSubpath();
    painter.setPen(QPen(QColor(0, 0, 0, 110), 6));
    painter.setBrush(Ink::amber);
    painter.drawPath(needle);

    QRadialGradient hub(QPointF(-8, -8), 44);
    hub.setColorAt(0, QColor(0x9a, 0x9a, 0x9a));
    hub.setColorAt(1, Ink::steelDark);
    painter.setPen(QPen(Ink::amberDeep, 6));
    painter.setBrush(hub);
    painter.drawEllipse(QPointF(0, 0), 36, 36);
    painter.restore();
}

void ProgramIconPainter::paintGlass(QPainter &painter)
{
    painter.save();
    QLinearGradient shine(0, 42, 0, 250);
    shine.setColorAt(0, QColor(255, 255, 255, 46));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    QPainterPath glass;
    glass.addEllipse(circle(210));
    QPainterPath cut;
    cut.addEllipse(QRectF(-60, 150, 632, 520));
    painter.drawPath(glass.subtracted(cut));
    painter.restore();
}
