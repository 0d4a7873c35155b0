#pragma once

#include <QByteArray>

// Cuts a terminal's byte stream into command lines. A line ends at CR, LF or CR LF; backspace
// and DEL take back the last byte; other control bytes are ignored. Each byte yields what the
// terminal echoes for it.
class LineFramer
{
public:
    static constexpr int maxLineBytes = 1024;

    struct Step
    {
        QByteArray echo;
        bool lineDone = false;
    };

    Step push(char byte);
    // The finished line; the framer starts a new one.
    QByteArray takeLine();

private:
    QByteArray m_line;
    bool m_afterCr = false;
};
