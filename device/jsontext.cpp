#include "jsontext.h"

#include <QJsonParseError>
#include <QSet>
#include <QVector>

namespace {

// One level of nesting: an object remembers the keys it has named and whether a key comes next.
struct Level
{
    bool isObject = false;
    bool keyNext = false;
    QSet<QString> keys;
};

// The string whose opening quote is at `at`, with its escapes undone, so that "a" and "\u0061"
// count as one key; `at` ends on the closing quote (or past the end).
QString takeString(const QByteArray &text, int &at)
{
    QString value;
    int runStart = ++at;
    const auto flushRun = [&] { value += QString::fromUtf8(text.mid(runStart, at - runStart)); };
    while (at < text.size() && text.at(at) != '"') {
        if (text.at(at) != '\\') {
            ++at;
            continue;
        }
        flushRun();
        const char escaped = at + 1 < text.size() ? text.at(at + 1) : '\0';
        at += 2;
        switch (escaped) {
        case 'u': {
            bool ok = false;
            const ushort unit = text.mid(at, 4).toUShort(&ok, 16);
            value += ok ? QChar(unit) : QChar();
            at += 4;
            break;
        }
        case 'b':
            value += QLatin1Char('\b');
            break;
        case 'f':
            value += QLatin1Char('\f');
            break;
        case 'n':
            value += QLatin1Char('\n');
            break;
        case 'r':
            value += QLatin1Char('\r');
            break;
        case 't':
            value += QLatin1Char('\t');
            break;
        default:
            value += QLatin1Char(escaped);
            break;
        }
        runStart = at;
    }
    at = qMin(at, int(text.size()));
    flushRun();
    return value;
}

} // namespace

JsonText::Parsed JsonText::parse(const QByteArray &text)
{
    Parsed parsed;
    const int repeated = repeatedKeyOffset(text);
    if (repeated >= 0) {
        parsed.error = QStringLiteral("a key named twice");
        parsed.offset = repeated;
        return parsed;
    }
    QJsonParseError error;
    parsed.document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        parsed.error = error.errorString();
        parsed.offset = error.offset;
    }
    return parsed;
}

int JsonText::repeatedKeyOffset(const QByteArray &text)
{
    QVector<Level> levels;
    for (int at = 0; at < text.size(); ++at) {
        switch (text.at(at)) {
        case '"': {
            const int start = at;
            const QString string = takeString(text, at);
            if (!levels.isEmpty() && levels.last().keyNext) {
                levels.last().keyNext = false;
                if (levels.last().keys.contains(string))
                    return start;
                levels.last().keys.insert(string);
            }
            break;
        }
        case '{':
            levels.append(Level{true, true, {}});
            break;
        case '[':
            levels.append(Level{});
            break;
        case '}':
        case ']':
            if (!levels.isEmpty())
                levels.removeLast();
            break;
        case ',':
            if (!levels.isEmpty() && levels.last().isObject)
                levels.last().keyNext = true;
            break;
        default:
            break;
        }
    }
    return -1;
}
