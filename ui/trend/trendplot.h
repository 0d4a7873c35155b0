#pragma once

#include "trendcurve.h"

#include <QGraphicsView>
#include <QValueAxis>

#include <array>
#include <memory>

class TrendFeed;

// Force, position and acceleration over one shared time axis: three charts stacked in one
// view, with the feed's events as vertical markers and a cursor that follows the mouse.
class TrendPlot : public QGraphicsView
{
    Q_OBJECT

public:
    explicit TrendPlot(const TrendFeed *feed, QWidget *parent = nullptr);
    ~TrendPlot() override;

    // Shows the feed's samples and events from `fromMs` to `toMs` on its clock; `live` when
    // `toMs` is now.
    void showSpan(qint64 fromMs, qint64 toMs, bool live = true);
    qint64 shownFromMs() const { return m_fromMs; }
    qint64 shownToMs() const { return m_toMs; }
    // How long one pixel column of the plots is at a span: finer changes cannot show.
    double msPerColumn(qint64 spanMs) const;
    QChart *chart(int index) const { return m_charts[size_t(index)].chart; }

signals:
    // The time under the mouse.
    void hovered(qint64 elapsedMs);
    void hoverEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct Curve
    {
        StateColumn column;
        std::unique_ptr<TrendCurve> curve;
    };
    struct Chart
    {
        QChart *chart = nullptr; // owned by the scene
        QValueAxis *timeAxis = nullptr;
        QValueAxis *valueAxis = nullptr;
        std::vector<Curve> curves;
    };

    Chart makeChart(const QString &title, bool timeLabels);
    void addCurve(Chart &chart, StateColumn column, const QString &name, const QColor &color,
                  Qt::PenStyle style = Qt::SolidLine);
    void layoutCharts();
    void setValueRange(Chart &chart, double low, double high);
    void setUnits(double metricUnits);
    void setTimeScale(qint64 spanMs, bool live);
    QRectF plotAreaInScene() const;
    double xAt(qint64 elapsedMs, const QRectF &area) const;
    void drawMarkers(QPainter *painter, const QRectF &area);

    const TrendFeed *m_feed;
    std::array<Chart, 3> m_charts;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 0;
    int m_cursorX = -1;
    double m_shownUnits = -1; // the unit system the axis titles name
    double m_msPerTimeUnit = 1000;
    QString m_timeTitle;
};
