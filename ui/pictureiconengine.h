#pragma once

#include <QIconEngine>
#include <QImage>
#include <QSize>
#include <QString>

// An icon drawn from one picture file, decoded at the size asked for each time and never kept.
// A window system takes a window's icon once, when the window is made; a 512 px picture kept
// decoded for it would hold a megabyte for the rest of the program's life. A picture the caller
// has decoded already serves the first request and is let go then. Every mode and state shows
// the same picture.
class PictureIconEngine : public QIconEngine
{
public:
    explicit PictureIconEngine(const QString &fileName, const QImage &decoded = QImage());

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    // Qt 6 dropped the const of this one.
#if QT_VERSION_MAJOR < 6
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) const override
    {
        return {m_pictureSize};
    }
#else
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {m_pictureSize};
    }
#endif
    QIconEngine *clone() const override;

private:
    QString m_fileName;
    QImage m_decoded;
    QSize m_pictureSize;
};
