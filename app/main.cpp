#include "commandlineinfo.h"
#include "mainwindow.h"
#include "programtranslation.h"
#include "startupsequence.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Answered before the window system is touched, so that they work on a console without a
    // display (a package check, a shell over ssh).
    if (const auto request = CommandLineInfo::requested(argc, argv);
        request != CommandLineInfo::Request::None) {
        QCoreApplication console(argc, argv);
        StartupSequence::setApplicationIdentity();
        const ProgramTranslation translation;
        std::fputs(qPrintable(CommandLineInfo::text(request)), stdout);
        return 0;
    }

    // Every widget paints with the raster engine; without this Qt's xcb integration loads
    // Mesa's OpenGL stack (libLLVM alone is 44 MB) for windows that never draw with it.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    StartupSequence::scaleToScreen();
    QApplication app(argc, argv);
    StartupSequence::setApplicationIdentity();
    StartupSequence::limitStyleCache();
    Q_INIT_RESOURCE(resources);
    const ProgramTranslation translation;

    MainWindow window;
    return StartupSequence::run(window, StartupSequence::addressArgument(argc, argv));
}
