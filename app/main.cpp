#include "mainwindow.h"
#include "startupsequence.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartupSequence::setApplicationIdentity();
    Q_INIT_RESOURCE(resources);

    MainWindow window;
    return StartupSequence::run(window, StartupSequence::addressArgument(argc, argv));
}
