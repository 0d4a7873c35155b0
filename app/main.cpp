#include "mainwindow.h"
#include "startupsequence.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Every widget paints with the raster engine; without this Qt's xcb integration loads
    // Mesa's OpenGL stack (libLLVM alone is 44 MB) for windows that never draw with it.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    StartupSequence::setApplicationIdentity();
    Q_INIT_RESOURCE(resources);

    MainWindow window;
    return StartupSequence::run(window, StartupSequence::addressArgument(argc, argv));
}
