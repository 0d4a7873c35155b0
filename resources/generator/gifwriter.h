#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QVector>

// Writes an endlessly looping GIF89a animation: one global 256-colour palette
// shared by all frames, entry 0 transparent, every frame covering the whole
// picture.
class GifWriter
{
public:
    explicit GifWriter(QSize size);

    // Frames are scaled to the writer's size if they differ; delays are rounded
    // to the format's hundredths of a second.
    void addFrame(const QImage &frame, int delayMs);

    QByteArray encode() const;
    bool save(const QString &fileName) const;

private:
    QSize size;
    QVector<QImage> frames;
    QVector<int> delaysMs;
};
