#include "colorquantizer.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

using ColorCount = std::pair<QRgb, int>;
using Box = std::vector<ColorCount>;

int channel(QRgb color, int index)
{
    return index == 0 ? qRed(color) : index == 1 ? qGreen(color) : qBlue(color);
}

// The channel with the widest spread in the box, and that spread.
std::pair<int, int> widestChannel(const Box &box)
{
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (const ColorCount &entry : box) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channel(entry.first, c));
            high[c] = std::max(high[c], channel(entry.first, c));
        }
    }
    int best = 0;
    for (int c = 1; c < 3; ++c) {
        if (high[c] - low[c] > high[best] - low[best])
            best = c;
    }
    return {best, high[best] - low[best]};
}

QRgb average(const Box &box)
{
    std::array<qint64, 3> sum{0, 0, 0};
    qint64 weight = 0;
    for (const ColorCount &entry : box) {
        for (int c = 0; c < 3; ++c)
            sum[c] += qint64(channel(entry.first, c)) * entry.second;
        weight += entry.second;
    }
    const auto mean = [&](int c) { return int((sum[c] + weight / 2) / weight); };
    return qRgb(mean(0), mean(1), mean(2));
}

// Splits the box at the weighted median of its widest channel.
std::pair<Box, Box> split(Box box)
{
    const int c = widestChannel(box).first;
    std::sort(box.begin(), box.end(), [c](const ColorCount &a, const ColorCount &b) {
        return channel(a.first, c) < channel(b.first, c);
    });
    qint64 total = 0;
    for (const ColorCount &entry : box)
        total += entry.second;
    qint64 running = 0;
    size_t cut = 1;
    for (; cut < box.size() - 1; ++cut) {
        running += box[cut - 1].second;
        if (running * 2 >= total)
            break;
    }
    return {Box(box.begin(), box.begin() + long(cut)), Box(box.begin() + long(cut), box.end())};
}

} // namespace

ColorQuantizer::ColorQuantizer(int maxColors)
    : maxColors(maxColors)
{
}

void ColorQuantizer::addImage(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) >= opaqueAlpha)
                ++histogram[line[x] | 0xff000000u];
        }
    }
}

QVector<QRgb> ColorQuantizer::palette() const
{
    // Each box with the spread of its widest channel, worked out once.
    std::vector<std::pair<Box, int>> boxes;
    const auto addBox = [&boxes](Box box) {
        const int spread = widestChannel(box).second;
        boxes.emplace_back(std::move(box), spread);
    };
    if (!histogram.empty())
        addBox(Box(histogram.begin(), histogram.end()));
    while (int(boxes.size()) < maxColors) {
        const auto widest = std::max_element(
            boxes.begin(), boxes.end(),
            [](const std::pair<Box, int> &a, const std::pair<Box, int> &b) {
                return a.second < b.second;
            });
        // Every box is down to a single colour.
        if (widest == boxes.end() || widest->second == 0)
            break;
        auto halves = split(std::move(widest->first));
        boxes.erase(widest);
        addBox(std::move(halves.first));
        addBox(std::move(halves.second));
    }
    QVector<QRgb> colors;
    for (const auto &box : boxes)
        colors.append(average(box.first));
    return colors;
}
