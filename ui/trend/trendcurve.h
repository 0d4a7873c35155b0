#pragma once

#include "trendpoints.h"

#include <QChart>
#include <QLineSeries>
#include <QPen>

#include <vector>

#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

// One curve of a chart, drawn as line series, one for each segment between lost links; the
// oldest breaks are bridged beyond a few, so the number of series stays small.
class TrendCurve
{
public:
    static constexpr int segmentLimit = 8;

    TrendCurve(QChart *chart, const QString &name, const QPen &pen);

    void show(const TrendPoints::Segments &segments);
    QLineSeries *firstSeries() const { return m_series.front(); }

private:
    QLineSeries *addSeries();

    QChart *m_chart;
    QPen m_pen;
    std::vector<QLineSeries *> m_series; // owned by the chart
};
