#pragma once

#include <QString>

// Lines on standard output, flushed at once: whoever reads the sim through a pipe sees each line
// as soon as it is written.
class StdoutWriter
{
public:
    static void line(const QString &text);
};
