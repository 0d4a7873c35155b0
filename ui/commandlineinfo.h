#pragma once

#include <QString>

// The first arguments that ask about the program instead of naming a device: "--help" or "-h",
// "--version" or "-v", each as the help text lists it. Any other first argument, an empty one
// included, stays a device address.
class CommandLineInfo
{
public:
    enum class Request { None, Help, Version };

    static Request requested(int argc, char *argv[]);

    // The text to print for `request`, in QCommandLineParser's form; needs an application object
    // with the program's identity.
    static QString text(Request request);
};
