#pragma once

#include "statesample.h"
#include "timering.h"

#include <QPointF>
#include <QVector>

// The points of one curve over a span, no more than a plot of that width can show: per pixel
// column the lowest and the highest value in the order they came, and of a run of equal values
// only its ends. A lost link or a missing value breaks the curve into segments.
class TrendPoints
{
public:
    using Segments = QVector<QVector<QPointF>>;

    // Samples [first, end) of `samples`; x of a sample is its time from `originMs` in units of
    // `msPerUnit`; `breaks` are the times of lost links, in order.
    static Segments segments(const TimeRing<StateSample> &samples, int first, int end,
                             StateColumn column, const QVector<qint64> &breaks, double msPerColumn,
                             qint64 originMs, double msPerUnit);

private:
    static void addDecimated(QVector<QPointF> &points, const QPointF &low, const QPointF &high);
};
