// The floor of the dashboard on a desktop: an empty Qt widgets window of the main window's
// default size, started with the same application settings. It prints "painted" at its first
// paint and runs until it is ended.
// Usage: vkt-bench-minimal-window [--qt-default-gl | --text]
// (--qt-default-gl leaves out the setting that keeps Qt's OpenGL integration unloaded, to show
// what that integration costs; --text shows one line of text in it, to show what drawing any
// text at all costs: fonts, shaping and glyph rendering.)

#include <QApplication>
#include <QLabel>
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
    const char *option = argc > 1 ? argv[1] : "";
    if (std::strcmp(option, "--qt-default-gl") != 0)
        QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    FirstPaintReporter window;
    window.resize(800, 423);
    if (std::strcmp(option, "--text") == 0)
        (new QLabel(QStringLiteral("VKT Dashboard"), &window))->move(10, 10);
    window.show();
    return QApplication::exec();
}
