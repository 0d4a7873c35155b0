// Renders the dashboard gauges in representative states to PNG files, for a visual check.
// Usage: vkt-gauge-gallery <output folder>

#include "accelerationgauge.h"
#include "forcegauge.h"
#include "positiongauge.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>

#include <functional>
#include <memory>

namespace {

constexpr int marginPx = 12;

struct Scene
{
    QString name;
    QSize size;
    std::function<CircularGauge *(QWidget *host)> make;
};

ForceGauge *forceGauge(QWidget *host)
{
    return new ForceGauge(host);
}

QVector<Scene> scenes()
{
    const QSize small(250, 250);
    const QSize large(600, 600);
    return {
        {"circular-default-400x250", QSize(400, 250),
         [](QWidget *host) { return new CircularGauge(host); }},
        {"force-default-250", small, forceGauge},
        {"force-default-600", large, forceGauge},
        {"force-beyond-scale-250", small,
         [](QWidget *host) {
             auto *g = forceGauge(host);
             g->setValue(420);
             return g;
         }},
        {"force-command-250", small,
         [](QWidget *host) {
             auto *g = forceGauge(host);
             g->setCommandFocus(true);
             g->setValue(123.4);
             g->updateCommandValue(-80);
             return g;
         }},
        {"force-command-445-600", large,
         [](QWidget *host) {
             auto *g = forceGauge(host);
             g->setMaxForce(445);
             g->setCommandFocus(true);
             g->setValue(-212.7);
             g->updateCommandValue(300);
             return g;
         }},
        {"force-soft-touch-250", small,
         [](QWidget *host) {
             auto *g = forceGauge(host);
             g->setMaxForce(40);
             g->setCommandFocus(true);
             g->setSoftTouchActive(4);
             g->setValue(12.5);
             g->updateCommandValue(15);
             return g;
         }},
        {"position-default-250", small, [](QWidget *host) { return new PositionGauge(host); }},
        {"position-limits-plus-250", small,
         [](QWidget *host) {
             auto *g = new PositionGauge(host);
             g->setPosLimit(18);
             g->setNegLimit(2);
             g->setCommandFocus(true);
             g->setValue(19);
             g->updateCommandValue(19.5);
             return g;
         }},
        {"position-limits-minus-600", large,
         [](QWidget *host) {
             auto *g = new PositionGauge(host);
             g->setPosLimit(18);
             g->setNegLimit(2);
             g->setValue(1);
             return g;
         }},
        {"position-max-1.5-250", small,
         [](QWidget *host) {
             auto *g = new PositionGauge(host);
             g->setMaxPosition(1.5);
             g->setValue(0.73);
             return g;
         }},
        {"acceleration-default-250", small,
         [](QWidget *host) { return new AccelerationGauge(host); }},
        {"acceleration-plus-1.5-250", small,
         [](QWidget *host) {
             auto *g = new AccelerationGauge(host);
             g->setValue(1.5);
             return g;
         }},
        {"acceleration-minus-1.5-600", large,
         [](QWidget *host) {
             auto *g = new AccelerationGauge(host);
             g->setValue(-1.5);
             return g;
         }},
    };
}

// The dashboard's dark ground, which the gauge rim fades into.
std::unique_ptr<QWidget> makeHost(const QSize &gaugeSize)
{
    auto host = std::make_unique<QWidget>();
    QPalette palette = host->palette();
    palette.setBrush(QPalette::Window, QBrush(QColor(QStringLiteral("#222"))));
    host->setPalette(palette);
    host->setAutoFillBackground(true);
    host->setAttribute(Qt::WA_DontShowOnScreen);
    host->resize(gaugeSize + QSize(2 * marginPx, 2 * marginPx));
    return host;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: vkt-gauge-gallery <output folder>\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot create " << folder.path() << "\n";
        return 1;
    }
    for (const Scene &scene : scenes()) {
        const auto host = makeHost(scene.size);
        CircularGauge *gauge = scene.make(host.get());
        gauge->setGeometry(QRect(QPoint(marginPx, marginPx), scene.size));
        host->show(); // delivers the pending resize, which places the command buttons
        const QString path = folder.filePath(scene.name + QStringLiteral(".png"));
        if (!host->grab().save(path)) {
            err << "cannot write " << path << "\n";
            return 1;
        }
        QTextStream(stdout) << path << "\n";
    }
    return 0;
}
