#pragma once

#include <QImage>

class QPainter;
class QPainterPath;
class QRectF;
class QString;

// The maker's marks and the title bar ground.
class BrandPainter
{
public:
    // One line: emblem, name, and the trade line beside it.
    static QImage logoStrip(QSize size);
    // For a title bar: emblem, the name with the trade line beneath it.
    static QImage headerLogo(QSize size);
    // Dark brushed steel with a green rule along the bottom; stretched to the
    // width of the window.
    static QImage headerBackground(QSize size);

private:
    static void paintEmblem(QPainter &painter, const QRectF &bounds);
    // The outline of the text in bold, scaled so that its ink is the given
    // height, with the ink's top left corner at the origin. The spacing is
    // added between letters, in output units.
    static QPainterPath textPath(const QString &text, qreal height, qreal letterSpacing);
};
