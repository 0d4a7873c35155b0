// The console's byte filter on arbitrary device output: every byte value, backspaces before,
// within and after typed text.
#include "fuzzcheck.h"
#include "terminaldecoder.h"

#include <string>

namespace {

bool isShown(char16_t character)
{
    return (character >= 0x20 && character <= 0x7E) || character == '\t' || character == '\n';
}

// The screen as the operator should see it, typed byte by byte with the cursor at the end:
// printable ASCII, tab and line feed appear, a backspace takes back the character before the
// cursor (nothing at the very start), every other byte is dropped.
void typeByte(std::string &screen, char byte)
{
    if (isShown(char16_t(static_cast<unsigned char>(byte))))
        screen += byte;
    else if (byte == '\b' && !screen.empty())
        screen.pop_back();
}

} // namespace

void fuzz::checkInput(const QByteArray &bytes)
{
    // Earlier output on screen, so that backspaces at the start of a chunk have text to take back.
    const std::string earlier = "earlier\toutput\n>>";

    std::string expected = earlier;
    for (const char byte : bytes)
        typeByte(expected, byte);

    const QVector<TerminalDecoder::Edit> edits = TerminalDecoder::decode(bytes);
    fuzz::require(edits.size() <= bytes.size(), "no more steps than bytes");
    // What the console does with the steps, on the same model screen.
    std::string screen = earlier;
    for (const TerminalDecoder::Edit &edit : edits) {
        if (edit.kind == TerminalDecoder::Edit::Kind::DeleteBack && !screen.empty())
            screen.pop_back();
        for (const QChar character : edit.text) {
            fuzz::require(
                isShown(character.unicode()),
                "no step types a carriage return, a byte 0x80-0xFF or a control character");
            screen += char(character.unicode());
        }
    }
    fuzz::require(screen == expected, "the steps show what the bytes type");
}
