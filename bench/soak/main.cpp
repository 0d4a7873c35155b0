// vkt-soak: the real dashboard window on one device address for SECONDS, reconnecting whenever
// the link drops. Prints its counts every few seconds and once more at the end.
#include "mainwindow.h"
#include "soakdriver.h"
#include "startupsequence.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartupSequence::limitStyleCache();
    Q_INIT_RESOURCE(resources);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak driver for the VKT dashboard"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("usb://PORT or network://HOST"));
    parser.addPositionalArgument(QStringLiteral("seconds"), QStringLiteral("how long to run"));
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    bool secondsOk = false;
    const int seconds = arguments.value(1).toInt(&secondsOk);
    if (arguments.size() != 2 || !secondsOk || seconds <= 0)
        parser.showHelp(1);

    MainWindow window;
    window.show();
    SoakDriver driver(window, arguments.at(0));
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    driver.start();
    const int status = app.exec();
    QTextStream(stdout) << "final " << driver.counts() << Qt::endl;
    return status;
}
