#include "pictureiconengine.h"

#include <QImageReader>
#include <QPainter>
#include <QPixmap>

#include <utility>

PictureIconEngine::PictureIconEngine(const QString &fileName, const QImage &decoded)
    : m_fileName(fileName)
    , m_decoded(decoded)
    , m_pictureSize(decoded.isNull() ? QImageReader(fileName).size() : decoded.size())
{}

void PictureIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                              QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

// The picture's own size, or smaller to fit into `size`, keeping its proportions.
QSize PictureIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    if (m_pictureSize.width() <= size.width() && m_pictureSize.height() <= size.height())
        return m_pictureSize;
    return m_pictureSize.scaled(size, Qt::KeepAspectRatio);
}

// Scaled as an icon made from the decoded pixmap would scale it: smoothly, from its
// premultiplied form.
QPixmap PictureIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    const QImage decoded = std::exchange(m_decoded, QImage());
    const QPixmap picture =
        QPixmap::fromImage(decoded.isNull() ? QImageReader(m_fileName).read() : decoded);
    const QSize wanted = actualSize(size, mode, state);
    if (wanted == m_pictureSize)
        return picture;
    return picture.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIconEngine *PictureIconEngine::clone() const
{
    return new PictureIconEngine(*this);
}
