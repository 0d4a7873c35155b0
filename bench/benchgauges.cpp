// Paint cost of the dashboard gauges and of the whole main window, in µs per paint (see
// benchstats.h for the output lines).

#include "accelerationgauge.h"
#include "benchstats.h"
#include "forcegauge.h"
#include "mainwindow.h"
#include "positiongauge.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>

namespace {

constexpr double minimumRunUs = 1000 * 1000; // keep measuring for at least a second
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

// Renders the widget into an image of its size again and again and reports each paint's time.
void report(const QString &name, QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < warmUpPaints; ++i)
        widget->render(&image);
    std::vector<double> samples;
    double totalUs = 0;
    while (totalUs < minimumRunUs) {
        const auto start = bench::Clock::now();
        widget->render(&image);
        samples.push_back(bench::microsecondsSince(start));
        totalUs += samples.back();
    }
    bench::printResult(qPrintable(name), samples);
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

void benchMainWindow()
{
    MainWindow window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    report(QStringLiteral("Main window, %1 x %2 px").arg(window.width()).arg(window.height()),
           &window);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    for (int sidePx : {250, 800}) {
        benchOneGauge(sidePx, false);
        benchOneGauge(sidePx, true);
    }
    benchAllThree();
    benchMainWindow();
    return 0;
}
