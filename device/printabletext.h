#pragma once

#include <QString>

// Text from a device, a file or the command line as it may be shown to a person: every control
// character written out as \xHH (so that no line break, escape sequence or NUL can forge or
// hide what is shown), and, given a bound, cut to at most that many characters.
class PrintableText
{
public:
    static constexpr int nameLimitChars = 64; // a name a device gives itself, in a list

    static QString of(const QString &text, int maxChars = -1);
};
