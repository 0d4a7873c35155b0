#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// What a chunk of bytes from the device does to the console's screen, without any widget: the
// printable ASCII bytes, tab and line feed are typed in, backspace takes back the character
// before the cursor, everything else (carriage return, other control bytes, 0x80 to 0xFF) is
// dropped. A device's CR LF line end is thus one new line.
class TerminalDecoder
{
public:
    struct Edit
    {
        enum class Kind { Insert, DeleteBack };
        Kind kind = Kind::Insert;
        QString text; // Insert only
    };

    // Runs of typed characters come as one Insert; a backspace right after typed characters of
    // the same chunk takes one of them back instead of becoming a step of its own.
    static QVector<Edit> decode(const QByteArray &bytes);
};
