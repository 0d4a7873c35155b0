// The floor of the dashboard on a desktop: an empty Qt widgets window of the main window's
// default size, started with the same application settings. It prints "painted" at its first
// paint and runs until it is ended. Usage: vkt-bench-minimal-window [--qt-default-gl]
// (--qt-default-gl leaves out the setting that keeps Qt's OpenGL integration unloaded, to show
// what that integration costs.)

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

class FirstPaintReporter : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        if (reported)
            return;
        reported = true;
        std::printf("painted\n");
        std::fflush(stdout);
    }

private:
    bool reported = false;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2 || std::strcmp(argv[1], "--qt-default-gl") != 0)
        QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    FirstPaintReporter window;
    window.resize(800, 423);
    window.show();
    return QApplication::exec();
}
