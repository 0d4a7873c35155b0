#include "canvas.h"

Canvas::Canvas(QSize pixelSize, QSizeF logicalSize)
    : image(pixelSize, QImage::Format_ARGB32_Premultiplied)
{
    image.fill(Qt::transparent);
    paint.begin(&image);
    paint.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                         | QPainter::SmoothPixmapTransform);
    paint.scale(pixelSize.width() / logicalSize.width(),
                pixelSize.height() / logicalSize.height());
}

QImage Canvas::finish()
{
    paint.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
