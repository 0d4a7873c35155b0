#include "trendplot.h"

#include "trendfeed.h"

#include <QLegend>
#include <QLegendMarker>
#include <QMouseEvent>

#include <cmath>
#include <limits>

namespace {

constexpr int leftMargin = 86;       // value labels and the axis title
constexpr int rightMargin = 32;      // half of the last time label
constexpr int legendHeight = 22;     // above each plot
constexpr int timeLabelsHeight = 44; // the labels and the title
constexpr int valueTicks = 5;

const QColor groundColor("#222");
const QColor measuredColor("#3DA5FF");
const QColor commandColor("#FFB000");
const QColor limitColor("#E04040");
const QColor accelerationColor("#4CD964");

QColor markerColor(StateEvent::Kind kind)
{
    switch (kind) {
    case StateEvent::Kind::Connected:
    case StateEvent::Kind::LinkLost:
        return QColor("#F55");
    case StateEvent::Kind::ToolPresent:
    case StateEvent::Kind::ToolLost:
        return QColor("#CC0");
    case StateEvent::Kind::ControlModeChanged:
        return QColor("#0CC");
    case StateEvent::Kind::WeighingStarted:
    case StateEvent::Kind::WeighingEnded:
        return QColor("#F6F");
    case StateEvent::Kind::ForceCommandChanged:
    case StateEvent::Kind::PositionCommandChanged:
    case StateEvent::Kind::UnitsChanged:
        break;
    }
    return QColor("#AAA");
}

// A step of 1, 2 or 5 times a power of ten that divides `span` into about `ticks` - 1 parts.
double niceStep(double span, int ticks)
{
    const double rough = span / (ticks - 1);
    const double magnitude = std::pow(10, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= rough)
            return factor * magnitude;
    }
    return 10 * magnitude;
}

} // namespace

TrendPlot::TrendPlot(const TrendFeed *feed, QWidget *parent)
    : QGraphicsView(parent)
    , m_feed(feed)
{
    setScene(new QGraphicsScene(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(groundColor);
    // Every refresh moves the time axis under all three charts.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    viewport()->setMouseTracking(true);

    m_charts[0] = makeChart(tr("Force"), false);
    addCurve(m_charts[0], StateColumn::actualForce, tr("measured"), measuredColor);
    addCurve(m_charts[0], StateColumn::commandForce, tr("command"), commandColor, Qt::DashLine);
    m_charts[1] = makeChart(tr("Position"), false);
    addCurve(m_charts[1], StateColumn::actualPosition, tr("measured"), measuredColor);
    addCurve(m_charts[1], StateColumn::commandPosition, tr("command"), commandColor, Qt::DashLine);
    addCurve(m_charts[1], StateColumn::posLimitPosition, tr("limits"), limitColor, Qt::DotLine);
    addCurve(m_charts[1], StateColumn::negLimitPosition, QString(), limitColor, Qt::DotLine);
    m_charts[2] = makeChart(tr("Acceleration"), true);
    addCurve(m_charts[2], StateColumn::accelGravity, tr("measured"), accelerationColor);
    setUnits(std::numeric_limits<double>::quiet_NaN());
}

TrendPlot::~TrendPlot() = default;

TrendPlot::Chart TrendPlot::makeChart(const QString &title, bool timeLabels)
{
    Chart chart;
    chart.chart = new QChart;
    chart.chart->setTheme(QChart::ChartThemeDark);
    chart.chart->setAnimationOptions(QChart::NoAnimation);
    chart.chart->setBackgroundRoundness(0);
    chart.chart->setBackgroundBrush(groundColor);
    chart.chart->setMargins(QMargins());
    chart.chart->legend()->setAlignment(Qt::AlignTop);
    // In the band above the plot, where the markers' texts never cover it.
    chart.chart->legend()->detachFromChart();
    chart.chart->setObjectName(title);

    // Time runs up to 0 at the newest end, so that the axis stands still while the curves
    // move: a moving range would make every series lay out its points twice per refresh.
    chart.timeAxis = new QValueAxis;
    chart.timeAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart.timeAxis->setLabelsVisible(timeLabels);
    chart.chart->addAxis(chart.timeAxis, Qt::AlignBottom);
    chart.valueAxis = new QValueAxis;
    chart.valueAxis->setTitleText(title);
    // An interval before the dynamic ticks: with none the axis would lay out ticks forever.
    chart.valueAxis->setRange(0, 1);
    chart.valueAxis->setTickInterval(0.5);
    chart.valueAxis->setTickAnchor(0);
    chart.valueAxis->setTickType(QValueAxis::TicksDynamic);
    chart.chart->addAxis(chart.valueAxis, Qt::AlignLeft);
    scene()->addItem(chart.chart);
    return chart;
}

void TrendPlot::addCurve(Chart &chart, StateColumn column, const QString &name, const QColor &color,
                         Qt::PenStyle style)
{
    QPen pen(color, 1, style);
    pen.setCosmetic(true);
    auto curve = std::make_unique<TrendCurve>(chart.chart, name, pen);
    if (name.isEmpty()) {
        for (QLegendMarker *marker : chart.chart->legend()->markers(curve->firstSeries()))
            marker->setVisible(false);
    }
    chart.curves.push_back({column, std::move(curve)});
}

double TrendPlot::msPerColumn(qint64 spanMs) const
{
    const double columns = std::max(1, viewport()->width() - leftMargin - rightMargin);
    return std::max(1.0, double(spanMs) / columns);
}

void TrendPlot::showSpan(qint64 fromMs, qint64 toMs, bool live)
{
    m_fromMs = fromMs;
    m_toMs = std::max(toMs, fromMs + 1);
    const TimeRing<StateSample> &samples = m_feed->samples();
    // One sample on either side, so that the curves reach the edges.
    const int first = std::max(0, samples.firstAtOrAfter(m_fromMs) - 1);
    const int end = std::min(samples.size(), samples.firstAtOrAfter(m_toMs + 1) + 1);
    const TimeRing<StateEvent> &events = m_feed->events();
    QVector<qint64> breaks;
    for (int i = events.firstAtOrAfter(first < end ? samples.at(first).elapsedMs : m_fromMs);
         i < events.size() && events.at(i).elapsedMs <= m_toMs; ++i) {
        if (events.at(i).kind == StateEvent::Kind::LinkLost)
            breaks.append(events.at(i).elapsedMs);
    }

    setTimeScale(m_toMs - m_fromMs, live);
    // Two pixels to a bucket halves what every series lays out again at each refresh (its
    // outline is stroked point by point) and leaves the band of a noisy curve as it looks.
    const double bucketMs = 2 * msPerColumn(m_toMs - m_fromMs);
    for (Chart &chart : m_charts) {
        // Ranges first: a change of range recomputes the points the series already hold.
        std::vector<TrendPoints::Segments> curves;
        double low = std::numeric_limits<double>::infinity();
        double high = -low;
        for (const Curve &curve : chart.curves) {
            curves.push_back(TrendPoints::segments(samples, first, end, curve.column, breaks,
                                                   bucketMs, m_toMs, m_msPerTimeUnit));
            for (const QVector<QPointF> &segment : curves.back()) {
                for (const QPointF &point : segment) {
                    low = std::min(low, point.y());
                    high = std::max(high, point.y());
                }
            }
        }
        setValueRange(chart, low, high);
        for (size_t i = 0; i < chart.curves.size(); ++i)
            chart.curves[i].curve->show(curves[i]);
    }
    if (first < end)
        setUnits(samples.at(end - 1).value(StateColumn::metricUnits));
    viewport()->update();
}

void TrendPlot::setValueRange(Chart &chart, double low, double high)
{
    if (!(low <= high)) {
        low = 0;
        high = 1;
    }
    if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        low -= 1;
        high += 1;
    }
    // Round steps, and half a step of room beyond the outer ones: a curve at the edge of the
    // range does not hide in the frame, the outer labels keep clear of it, and the range
    // changes only when the values leave it.
    const double step = niceStep(high - low, valueTicks);
    const double min = std::floor(low / step) * step - step / 2;
    const double max = std::ceil(high / step) * step + step / 2;
    if (chart.valueAxis->min() != min || chart.valueAxis->max() != max)
        chart.valueAxis->setRange(min, max);
    if (chart.valueAxis->tickInterval() != step)
        chart.valueAxis->setTickInterval(step);
}

// The device reports in its own units and nothing is converted: the titles say which.
void TrendPlot::setUnits(double metricUnits)
{
    if (metricUnits == m_shownUnits || (std::isnan(metricUnits) && std::isnan(m_shownUnits)))
        return;
    m_shownUnits = metricUnits;
    const bool known = !std::isnan(metricUnits);
    const bool metric = metricUnits != 0;
    const auto title = [known](const QString &name, const QString &unit) {
        return known ? QStringLiteral("%1 (%2)").arg(name, unit) : name;
    };
    m_charts[0].valueAxis->setTitleText(title(tr("Force"), metric ? "N" : "Lb"));
    m_charts[1].valueAxis->setTitleText(title(tr("Position"), metric ? "mm" : "in"));
    m_charts[2].valueAxis->setTitleText(QStringLiteral("%1 (G)").arg(tr("Acceleration")));
}

// Seconds up to two minutes, minutes beyond; the title says what 0 is.
void TrendPlot::setTimeScale(qint64 spanMs, bool live)
{
    const bool minutes = spanMs > 2 * 60 * 1000;
    m_msPerTimeUnit = minutes ? 60 * 1000 : 1000;
    const double span = double(spanMs) / m_msPerTimeUnit;
    const QString end =
        live ? tr("now") : m_feed->wallTimeAt(m_toMs).toLocalTime().toString("hh:mm:ss");
    const QString title =
        minutes ? tr("minutes before %1").arg(end) : tr("seconds before %1").arg(end);
    const int ticks = int(std::lround(span / niceStep(span, 7))) + 1;
    for (Chart &chart : m_charts) {
        if (chart.timeAxis->min() != -span || chart.timeAxis->max() != 0)
            chart.timeAxis->setRange(-span, 0);
        if (chart.timeAxis->tickCount() != ticks)
            chart.timeAxis->setTickCount(ticks);
    }
    if (title != m_timeTitle)
        m_charts.back().timeAxis->setTitleText(title);
    m_timeTitle = title;
}

void TrendPlot::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    layoutCharts();
}

// The plot areas are placed by hand, one above the other at the same left and right edges,
// so that one time is one x in all three.
void TrendPlot::layoutCharts()
{
    const QRectF view(QPointF(0, 0), QSizeF(viewport()->size()));
    scene()->setSceneRect(view);
    const double height = (view.height() - timeLabelsHeight) / 3;
    for (size_t i = 0; i < m_charts.size(); ++i) {
        const bool last = i + 1 == m_charts.size();
        const double chartHeight = height + (last ? timeLabelsHeight : 0);
        m_charts[i].chart->setGeometry(QRectF(0, height * double(i), view.width(), chartHeight));
        m_charts[i].chart->setPlotArea(
            QRectF(leftMargin, legendHeight, view.width() - leftMargin - rightMargin,
                   chartHeight - legendHeight - (last ? timeLabelsHeight : 4)));
        m_charts[i].chart->legend()->setGeometry(
            QRectF(leftMargin, 0, view.width() - leftMargin - rightMargin, legendHeight));
    }
}

QRectF TrendPlot::plotAreaInScene() const
{
    const QRectF top = m_charts.front().chart->mapRectToScene(m_charts.front().chart->plotArea());
    const QRectF bottom = m_charts.back().chart->mapRectToScene(m_charts.back().chart->plotArea());
    return QRectF(top.topLeft(), QPointF(top.right(), bottom.bottom()));
}

double TrendPlot::xAt(qint64 elapsedMs, const QRectF &area) const
{
    return area.left() + double(elapsedMs - m_fromMs) / double(m_toMs - m_fromMs) * area.width();
}

void TrendPlot::drawForeground(QPainter *painter, const QRectF &)
{
    const QRectF area = plotAreaInScene();
    painter->save();
    drawMarkers(painter, area);
    if (m_cursorX >= area.left() && m_cursorX <= area.right()) {
        painter->setPen(QPen(QColor("#DDD"), 0));
        painter->drawLine(QPointF(m_cursorX, area.top()), QPointF(m_cursorX, area.bottom()));
    }
    painter->restore();
}

// Each event a dashed line through the three plots, its text at the top in one of two rows.
// The newest come first, so that a text that finds no room is an older one's.
void TrendPlot::drawMarkers(QPainter *painter, const QRectF &area)
{
    const TimeRing<StateEvent> &events = m_feed->events();
    const QFontMetrics metrics(font());
    std::array<double, 2> rowStarts{area.right() + rightMargin, area.right() + rightMargin};
    for (int i = events.firstAtOrAfter(m_toMs + 1) - 1;
         i >= 0 && events.at(i).elapsedMs >= m_fromMs; --i) {
        const StateEvent &event = events.at(i);
        const double x = std::round(xAt(event.elapsedMs, area)) + 0.5;
        const QColor color = markerColor(event.kind);
        painter->setPen(QPen(color, 0, Qt::DashLine));
        painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        const QString text = event.text(StateEvent::Language::Operator);
        const double width = metrics.horizontalAdvance(text) + 4;
        // Right of the line where it fits, else left of it.
        const double left = x + 2 + width <= area.right() + rightMargin ? x + 2 : x - 2 - width;
        for (size_t row = 0; row < rowStarts.size(); ++row) {
            if (left + width > rowStarts[row])
                continue;
            const QRectF box(left, area.top() + double(row) * metrics.height(), width,
                             metrics.height());
            // Dimmed behind the text, so that a curve under it still shows.
            painter->fillRect(box, QColor(34, 34, 34, 150));
            painter->setPen(color);
            painter->drawText(box, Qt::AlignCenter, text);
            rowStarts[row] = left - 2;
            break;
        }
    }
}

void TrendPlot::mouseMoveEvent(QMouseEvent *event)
{
    QGraphicsView::mouseMoveEvent(event);
    const QRectF area = plotAreaInScene();
    const double x = mapToScene(event->pos()).x();
    const bool inside = x >= area.left() && x <= area.right();
    m_cursorX = inside ? int(std::round(x)) : -1;
    if (inside)
        emit hovered(
            m_fromMs
            + qint64(std::llround((x - area.left()) / area.width() * double(m_toMs - m_fromMs))));
    else
        emit hoverEnded();
    viewport()->update();
}

void TrendPlot::leaveEvent(QEvent *event)
{
    QGraphicsView::leaveEvent(event);
    m_cursorX = -1;
    emit hoverEnded();
    viewport()->update();
}
