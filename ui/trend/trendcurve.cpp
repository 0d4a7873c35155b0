#include "trendcurve.h"

#include <QLegend>
#include <QLegendMarker>

TrendCurve::TrendCurve(QChart *chart, const QString &name, const QPen &pen)
    : m_chart(chart)
    , m_pen(pen)
{
    addSeries()->setName(name);
}

void TrendCurve::show(const TrendPoints::Segments &segments)
{
    TrendPoints::Segments shown = segments;
    while (shown.size() > segmentLimit) {
        shown[1] = shown[0] + shown[1];
        shown.removeFirst();
    }
    while (int(m_series.size()) < shown.size())
        addSeries();
    for (size_t i = 0; i < m_series.size(); ++i) {
        const QVector<QPointF> points = int(i) < shown.size() ? shown[int(i)] : QVector<QPointF>();
        if (!(points.isEmpty() && m_series[i]->count() == 0))
            m_series[i]->replace(points);
    }
}

QLineSeries *TrendCurve::addSeries()
{
    auto *series = new QLineSeries(m_chart);
    series->setPen(m_pen);
    m_chart->addSeries(series);
    for (QAbstractAxis *axis : m_chart->axes())
        series->attachAxis(axis);
    // Only the first segment names the curve in the legend.
    if (!m_series.empty()) {
        for (QLegendMarker *marker : m_chart->legend()->markers(series))
            marker->setVisible(false);
    }
    m_series.push_back(series);
    return series;
}
