#pragma once

#include <QImage>
#include <QVector>

#include <map>

// Chooses a small palette for a set of images by median cut over the colours
// of their opaque pixels, weighted by how often each colour occurs.
class ColorQuantizer
{
public:
    // Pixels below this alpha count as transparent and take no palette entry.
    static constexpr int opaqueAlpha = 128;

    explicit ColorQuantizer(int maxColors);

    void addImage(const QImage &image);
    // At most maxColors opaque colours, in a stable order.
    QVector<QRgb> palette() const;

private:
    int maxColors = 255;
    std::map<QRgb, int> histogram;
};
