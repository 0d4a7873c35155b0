#include "brandpainter.h"

#include "canvas.h"
#include "ink.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRandomGenerator>

namespace {

const QString makerName = QStringLiteral("TARNWELL");
const QString tradeLine = QStringLiteral("FORCE CONTROL");
const QString tradeLineLong = QStringLiteral("FORCE CONTROL SYSTEMS");

} // namespace

QImage BrandPainter::logoStrip(QSize size)
{
    Canvas canvas(size, size);
    QPainter &p = canvas.painter();
    const qreal w = size.width();
    const qreal h = size.height();
    paintEmblem(p, QRectF(1, 1, h - 2, h - 2));

    // Name and trade line stand on one base line.
    const qreal nameHeight = 0.52 * h;
    const qreal top = (h - nameHeight) / 2;
    const qreal base = top + nameHeight;
    const QPainterPath name = textPath(makerName, nameHeight, 2);
    p.fillPath(name.translated(h + 7, top), Ink::stroke);

    const qreal ruleX = h + 7 + name.boundingRect().width() + 8;
    p.setPen(QPen(Ink::strokeShade, 1.2));
    p.drawLine(QPointF(ruleX, top - 1), QPointF(ruleX, base + 1));

    // The trade line takes what room is left, up to a fixed height.
    const qreal room = w - 2 - (ruleX + 8);
    QPainterPath line = textPath(tradeLine, 0.36 * h, 1);
    if (line.boundingRect().width() > room)
        line = textPath(tradeLine, 0.36 * h * room / line.boundingRect().width(), 1);
    p.fillPath(line.translated(ruleX + 8, base - line.boundingRect().height()), Ink::green);
    return canvas.finish();
}

QImage BrandPainter::headerLogo(QSize size)
{
    Canvas canvas(size, size);
    QPainter &p = canvas.painter();
    const qreal h = size.height();
    paintEmblem(p, QRectF(2, 2, h - 4, h - 4));

    const qreal left = h + 10;
    const QPainterPath name = textPath(makerName, 0.52 * h, 4);
    p.fillPath(name.translated(left, 0.1 * h), Ink::stroke);
    // The trade line is spread to the width of the name.
    const qreal lineHeight = 0.19 * h;
    const qreal slack = name.boundingRect().width()
                        - textPath(tradeLineLong, lineHeight, 0).boundingRect().width();
    const QPainterPath line = textPath(tradeLineLong, lineHeight,
                                       slack / (tradeLineLong.size() - 1));
    p.fillPath(line.translated(left, 0.73 * h), Ink::green);
    return canvas.finish();
}

QImage BrandPainter::headerBackground(QSize size)
{
    Canvas canvas(size, size);
    QPainter &p = canvas.painter();
    const qreal w = size.width();
    const qreal h = size.height();

    QLinearGradient steel(0, 0, 0, h);
    steel.setColorAt(0, QColor(0x3c, 0x3c, 0x3c));
    steel.setColorAt(0.45, QColor(0x2a, 0x2a, 0x2a));
    steel.setColorAt(1, QColor(0x18, 0x18, 0x18));
    p.fillRect(QRectF(0, 0, w, h), steel);

    // Faint brushing; a fixed seed keeps the picture the same on every run.
    QRandomGenerator grain(1993);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 1; y < size.height() - 3; ++y) {
        for (int run = 0; run < 6; ++run) {
            const int x = grain.bounded(size.width());
            const int length = 40 + grain.bounded(220);
            const bool light = grain.bounded(2) == 0;
            p.setPen(light ? QColor(255, 255, 255, 7) : QColor(0, 0, 0, 14));
            p.drawLine(x, y, x + length, y);
        }
    }
    p.setRenderHint(QPainter::Antialiasing, true);

    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(0, 0.5), QPointF(w, 0.5));

    QLinearGradient glow(0, h - 9, 0, h - 3);
    glow.setColorAt(0, QColor(0, 0xcc, 0, 0));
    glow.setColorAt(1, QColor(0, 0xcc, 0, 60));
    p.fillRect(QRectF(0, h - 9, w, 6), glow);
    p.fillRect(QRectF(0, h - 3, w, 2), Ink::greenDeep);
    p.fillRect(QRectF(0, h - 1, w, 1), QColor(0x0a, 0x0a, 0x0a));
    return canvas.finish();
}

void BrandPainter::paintEmblem(QPainter &painter, const QRectF &bounds)
{
    painter.save();
    painter.translate(bounds.topLeft());
    painter.scale(bounds.width() / 100, bounds.height() / 100);

    QLinearGradient face(0, 0, 0, 100);
    face.setColorAt(0, QColor(0x22, 0xdd, 0x22));
    face.setColorAt(1, QColor(0x00, 0x88, 0x00));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(0, 0, 100, 100), 18, 18);

    // A "T" whose stem ends in a point: the carriage pressing down.
    const QPointF mark[] = {{18, 18}, {82, 18}, {82, 36}, {60, 36}, {60, 64},
                            {50, 84}, {40, 64}, {40, 36}, {18, 36}};
    painter.setBrush(Qt::white);
    painter.drawPolygon(mark, 9);
    painter.restore();
}

QPainterPath BrandPainter::textPath(const QString &text, qreal height, qreal letterSpacing)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(100);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const qreal scale = height / path.boundingRect().height();

    font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing / scale);
    path = QPainterPath();
    path.addText(0, 0, font, text);
    QTransform toOrigin;
    toOrigin.scale(scale, scale);
    toOrigin.translate(-path.boundingRect().left(), -path.boundingRect().top());
    return toOrigin.map(path);
}
