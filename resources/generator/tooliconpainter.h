#pragma once

#include <QImage>

// The command icons: light shapes with green and amber accents, drawn to read
// on the dark title bar down to about 24 pixels.
class ToolIconPainter
{
public:
    static QImage fileOpen(QSize size);
    static QImage fileSave(QSize size);
    static QImage console(QSize size);
    static QImage gear(QSize size);
    static QImage refresh(QSize size);
    // A parameter document: a page of settings with the program's emblem.
    static QImage document(QSize size);
};
