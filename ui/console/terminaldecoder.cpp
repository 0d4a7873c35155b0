#include "terminaldecoder.h"

namespace {

constexpr char backspace = '\b';

bool isShown(char byte)
{
    return (byte >= 0x20 && byte <= 0x7E) || byte == '\t' || byte == '\n';
}

} // namespace

QVector<TerminalDecoder::Edit> TerminalDecoder::decode(const QByteArray &bytes)
{
    QVector<Edit> edits;
    QString typed; // not yet on screen; always after every edit already listed
    for (const char byte : bytes) {
        if (isShown(byte)) {
            typed += QLatin1Char(byte);
        } else if (byte == backspace) {
            if (typed.isEmpty())
                edits.append({Edit::Kind::DeleteBack, QString()});
            else
                typed.chop(1);
        }
    }
    if (!typed.isEmpty())
        edits.append({Edit::Kind::Insert, typed});
    return edits;
}
