// Paint cost of the dashboard gauges. Prints one line per case:
// <case><TAB><mean microseconds per paint><TAB><iterations>

#include "accelerationgauge.h"
#include "forcegauge.h"
#include "positiongauge.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <functional>

namespace {

constexpr qint64 minimumRunNs = 1000 * 1000 * 1000; // keep measuring for at least a second
constexpr int warmUpPaints = 20;

QWidget *makeHost()
{
    auto *host = new QWidget;
    QPalette palette = host->palette();
    palette.setBrush(QPalette::Window, QBrush(QColor(QStringLiteral("#222"))));
    host->setPalette(palette);
    host->setAutoFillBackground(true);
    host->setAttribute(Qt::WA_DontShowOnScreen);
    return host;
}

// Renders the widget into an image of its size again and again; returns the mean in µs.
double meanPaintUs(QWidget *widget, int *iterations)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < warmUpPaints; ++i)
        widget->render(&image);
    QElapsedTimer clock;
    clock.start();
    int n = 0;
    do {
        widget->render(&image);
        ++n;
    } while (clock.nsecsElapsed() < minimumRunNs);
    *iterations = n;
    return clock.nsecsElapsed() / 1000.0 / n;
}

void report(const QString &name, QWidget *widget)
{
    int iterations = 0;
    const double us = meanPaintUs(widget, &iterations);
    QTextStream(stdout) << name << '\t' << QString::number(us, 'f', 1) << '\t' << iterations
                        << '\n';
}

void benchOneGauge(int sidePx, bool commandMode)
{
    QWidget *host = makeHost();
    auto *gauge = new ForceGauge(host);
    gauge->setCommandFocus(commandMode);
    gauge->setValue(123.4);
    gauge->updateCommandValue(-80);
    gauge->setGeometry(0, 0, sidePx, sidePx);
    host->resize(sidePx, sidePx);
    host->show();
    report(QStringLiteral("ForceGauge, %1 mode, %2 px")
               .arg(commandMode ? QStringLiteral("command") : QStringLiteral("measured"))
               .arg(sidePx),
           gauge);
    delete host;
}

void benchAllThree()
{
    QWidget *host = makeHost();
    auto *layout = new QHBoxLayout(host);
    auto *force = new ForceGauge;
    auto *acceleration = new AccelerationGauge;
    auto *position = new PositionGauge;
    force->setCommandFocus(true);
    force->setValue(123.4);
    acceleration->setValue(0.4);
    position->setPosLimit(18);
    position->setNegLimit(2);
    position->setValue(19);
    const QList<CircularGauge *> gauges{force, acceleration, position};
    for (CircularGauge *gauge : gauges) {
        gauge->setFixedSize(250, 250);
        layout->addWidget(gauge);
    }
    host->show();
    report(QStringLiteral("Force, acceleration and position, 250 px each"), host);
    delete host;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    for (int sidePx : {250, 800}) {
        benchOneGauge(sidePx, false);
        benchOneGauge(sidePx, true);
    }
    benchAllThree();
    return 0;
}
