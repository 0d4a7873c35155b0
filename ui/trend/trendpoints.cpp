#include "trendpoints.h"

#include <cmath>
#include <limits>

TrendPoints::Segments TrendPoints::segments(const TimeRing<StateSample> &samples, int first,
                                            int end, StateColumn column,
                                            const QVector<qint64> &breaks, double msPerColumn,
                                            qint64 originMs, double msPerUnit)
{
    Segments segments;
    QVector<QPointF> points;
    const auto endSegment = [&] {
        if (!points.isEmpty())
            segments.append(points);
        points.clear();
    };
    int nextBreak = 0;
    qint64 bucket = std::numeric_limits<qint64>::min();
    QPointF low;
    QPointF high;
    bool open = false; // a bucket holds values not yet added
    for (int i = first; i < end; ++i) {
        const StateSample &sample = samples.at(i);
        const double value = sample.value(column);
        bool broken = std::isnan(value);
        while (nextBreak < breaks.size() && breaks[nextBreak] <= sample.elapsedMs) {
            broken = true;
            ++nextBreak;
        }
        const qint64 sampleBucket = qint64(std::floor(sample.elapsedMs / msPerColumn));
        if (open && (broken || sampleBucket != bucket)) {
            addDecimated(points, low, high);
            open = false;
        }
        if (broken)
            endSegment();
        if (std::isnan(value))
            continue;
        const QPointF point(double(sample.elapsedMs - originMs) / msPerUnit, value);
        if (!open) {
            bucket = sampleBucket;
            low = high = point;
            open = true;
        } else if (value < low.y()) {
            low = point;
        } else if (value > high.y()) {
            high = point;
        }
    }
    if (open)
        addDecimated(points, low, high);
    endSegment();
    return segments;
}

void TrendPoints::addDecimated(QVector<QPointF> &points, const QPointF &low, const QPointF &high)
{
    const auto add = [&points](const QPointF &point) {
        // The middle of three equal values adds nothing to a line.
        const int n = points.size();
        if (n >= 2 && points[n - 1].y() == point.y() && points[n - 2].y() == point.y())
            points[n - 1] = point;
        else
            points.append(point);
    };
    if (low.x() <= high.x()) {
        add(low);
        if (high != low)
            add(high);
    } else {
        add(high);
        add(low);
    }
}
