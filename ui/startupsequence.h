#pragma once

#include <QString>

#include <optional>

class MainWindow;

// The program's start: its identity, the first connection and the event loop.
class StartupSequence
{
public:
    // Exit status when the device named on the command line cannot be connected.
    static constexpr int connectFailedStatus = -1;

    // Lays the windows out for 96 dpi and scales them by the screen's resolution, 1.25 at 120
    // dpi as well as 2 at 192, with the pictures at the screen's pixel density. Call before the
    // QApplication is made.
    static void scaleToScreen();

    static void setApplicationIdentity();

    // Bounds the style's cache of drawn widget parts to what the windows draw (call after the
    // QApplication exists).
    static void limitStyleCache();

    // The device address of the command line: the first argument, decoded as UTF-8; none when
    // the program was started without arguments.
    static std::optional<QString> addressArgument(int argc, char *argv[]);

    // Shows the window, connects it to the address when one is given (otherwise to the one the
    // operator picks in the connect dialog) and runs the event loop.
    // Returns the loop's exit status, or connectFailedStatus (without running the loop) once
    // the operator has been told that the address could not be connected.
    static int run(MainWindow &window, const std::optional<QString> &address);
};
