// Draws the application's pictures into the folder given as the only argument.

#include "imageset.h"
#include "imagegenlog.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    // Text is drawn, so fonts are needed, but no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        qCCritical(lcImageGen, "usage: vkt-imagegen OUTPUT-FOLDER");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.exists()) {
        qCCritical(lcImageGen) << "no such folder:" << folder.path();
        return 2;
    }
    return ImageSet(folder).writeAll() ? 0 : 1;
}
