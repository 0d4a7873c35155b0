#include "startupsequence.h"

#include "devicechooser.h"
#include "mainwindow.h"

#include <QApplication>
#include <QPixmapCache>
#include <QSettings>

namespace {
// The style caches the parts it draws (button panels, frames) keyed by the widget's palette. A
// style sheet gives a widget a new palette whenever its colour or enabled state changes, as the
// connection button's does at every connect and disconnect, so Qt's default 10 MB cache slowly
// fills with parts that are never drawn again: about 36 kB per reconnect. Half a megabyte holds
// what the windows draw at any one time.
constexpr int styleCacheLimitKb = 512;
} // namespace

void StartupSequence::scaleToScreen()
{
    // Qt 6 always does; Qt 5 otherwise lets the texts grow with the resolution while every
    // widget keeps its size in pixels.
#if QT_VERSION_MAJOR < 6
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
    // Qt 5 would round 1.25 down to 1, leaving the texts crowded, and 1.5 up to 2.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

void StartupSequence::setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("VKT Dashboard"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKT_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwell"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tarnwell.example"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("VKT Dashboard"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
}

void StartupSequence::limitStyleCache()
{
    QPixmapCache::setCacheLimit(styleCacheLimitKb);
}

std::optional<QString> StartupSequence::addressArgument(int argc, char *argv[])
{
    if (argc < 2)
        return std::nullopt;
    return QString::fromUtf8(argv[1]);
}

int StartupSequence::run(MainWindow &window, const std::optional<QString> &address)
{
    window.show();
    if (!address) {
        // A device the operator cannot connect from the dialog leaves the program running on
        // disconnected; the connection button offers the dialog again.
        DeviceChooser::chooseAndConnect(window.remoteDevice, nullptr);
    } else if (!window.remoteDevice.connectDevice(*address)) {
        DeviceChooser::showConnectError(*address, nullptr);
        return connectFailedStatus;
    }
    return QApplication::exec();
}
