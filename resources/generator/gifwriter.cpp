#include "gifwriter.h"

#include "colorquantizer.h"
#include "lzwencoder.h"

#include <QHash>
#include <QSaveFile>

namespace {

constexpr int paletteBits = 8;
constexpr int paletteSize = 1 << paletteBits;
constexpr uchar transparentIndex = 0;
constexpr int maxSubBlock = 255;

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void putSubBlocks(QByteArray &out, const QByteArray &data)
{
    for (int pos = 0; pos < data.size(); pos += maxSubBlock) {
        const QByteArray block = data.mid(pos, maxSubBlock);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append('\0');
}

int squaredDistance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// Palette index of a pixel: transparent, or the nearest opaque colour (stored
// from entry 1 on). The cache remembers the answer for each colour.
uchar paletteIndex(const QVector<QRgb> &opaqueColors, QRgb pixel, QHash<QRgb, uchar> &cache)
{
    if (qAlpha(pixel) < ColorQuantizer::opaqueAlpha)
        return transparentIndex;
    const QRgb color = pixel | 0xff000000u;
    const auto known = cache.constFind(color);
    if (known != cache.constEnd())
        return *known;
    int best = 0;
    for (int i = 1; i < opaqueColors.size(); ++i) {
        if (squaredDistance(opaqueColors.at(i), color)
            < squaredDistance(opaqueColors.at(best), color))
            best = i;
    }
    const uchar index = uchar(best + 1);
    cache.insert(color, index);
    return index;
}

} // namespace

GifWriter::GifWriter(QSize size)
    : size(size)
{
}

void GifWriter::addFrame(const QImage &frame, int delayMs)
{
    const QImage sized = frame.size() == size
                             ? frame
                             : frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    frames.append(sized.convertToFormat(QImage::Format_ARGB32));
    delaysMs.append(delayMs);
}

QByteArray GifWriter::encode() const
{
    ColorQuantizer quantizer(paletteSize - 1);
    for (const QImage &frame : frames)
        quantizer.addImage(frame);
    const QVector<QRgb> colors = quantizer.palette();
    QHash<QRgb, uchar> indexCache;

    QByteArray out("GIF89a");
    putWord(out, size.width());
    putWord(out, size.height());
    // Global palette present, 8 bits of colour resolution, 2^(7+1) entries.
    out.append(char(0x80 | ((paletteBits - 1) << 4) | (paletteBits - 1)));
    out.append(char(transparentIndex)); // background
    out.append('\0');                   // no aspect ratio given

    // Entry 0 is never shown; it carries the house ground for viewers that ignore
    // transparency.
    out.append(char(0x22)).append(char(0x22)).append(char(0x22));
    for (int i = 1; i < paletteSize; ++i) {
        const QRgb color = i - 1 < colors.size() ? colors.at(i - 1) : qRgb(0, 0, 0);
        out.append(char(qRed(color))).append(char(qGreen(color))).append(char(qBlue(color)));
    }

    // Netscape application extension: loop for ever.
    out.append("\x21\xff\x0b", 3).append("NETSCAPE2.0");
    out.append("\x03\x01", 2);
    putWord(out, 0);
    out.append('\0');

    const LzwEncoder lzw(paletteBits);
    for (int f = 0; f < frames.size(); ++f) {
        // Graphic control: restore to background after the frame, transparency on.
        out.append("\x21\xf9\x04", 3);
        out.append(char((2 << 2) | 0x01));
        putWord(out, (delaysMs.at(f) + 5) / 10);
        out.append(char(transparentIndex));
        out.append('\0');

        out.append(',');
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, size.width());
        putWord(out, size.height());
        out.append('\0'); // no local palette, not interlaced

        QByteArray indices;
        indices.reserve(size.width() * size.height());
        const QImage &frame = frames.at(f);
        for (int y = 0; y < frame.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
            for (int x = 0; x < frame.width(); ++x)
                indices.append(char(paletteIndex(colors, line[x], indexCache)));
        }
        out.append(char(paletteBits));
        putSubBlocks(out, lzw.encode(indices));
    }
    out.append(';');
    return out;
}

bool GifWriter::save(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encode());
    return file.commit();
}
