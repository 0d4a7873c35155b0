#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

// The program's emblem: a round instrument with a green working band, an amber
// end zone and an amber needle, lettered "VKT".
class ProgramIconPainter
{
public:
    static QImage render(int side);
    // Paints the emblem to fill the square bounds (of any size).
    static void paint(QPainter &painter, const QRectF &bounds);

private:
    static void paintBezel(QPainter &painter);
    static void paintFace(QPainter &painter);
    static void paintBands(QPainter &painter);
    static void paintTicks(QPainter &painter);
    static void paintLabel(QPainter &painter);
    static void paintNeedle(QPainter &painter);
    static void paintGlass(QPainter &painter);
};
