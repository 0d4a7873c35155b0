#pragma once

#include <QImage>
#include <QPainter>

// A transparent antialiased image with a painter whose coordinates run over a
// logical rectangle, so each drawing is written once for any pixel size.
class Canvas
{
public:
    Canvas(QSize pixelSize, QSizeF logicalSize);

    QPainter &painter() { return paint; }
    // Ends painting; the canvas cannot be drawn on afterwards.
    QImage finish();

private:
    QImage image;
    QPainter paint;
};
