#include "replyframer.h"

#include "devicelog.h"
#include "jsontext.h"

#include <QByteArrayMatcher>
#include <QJsonArray>
#include <QString>

#include <algorithm>

const QByteArray ReplyFramer::prompt = QByteArrayLiteral("\r\n>>");

namespace {

int indexOfPrompt(const QByteArray &bytes)
{
    static const QByteArrayMatcher matcher(ReplyFramer::prompt);
    return matcher.indexIn(bytes);
}

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

// The same framing reads either the locale's text or, for ASCII, the bytes themselves.
QString toText(const QString &text)
{
    return text;
}

QString toText(const QByteArray &ascii)
{
    return QString::fromLatin1(ascii);
}

QByteArray bracketed(const QString &rest)
{
    return (QLatin1String("[ ") + rest + QLatin1String(" ]")).toUtf8();
}

QByteArray bracketed(const QByteArray &rest)
{
    return "[ " + rest + " ]";
}

template <typename Text>
QJsonObject frameReply(const Text &text, const Text &promptText)
{
    int wordStart = 0;
    while (wordStart < text.size() && QChar(text.at(wordStart)).isSpace())
        ++wordStart;
    int wordEnd = wordStart;
    while (wordEnd < text.size() && !QChar(text.at(wordEnd)).isSpace())
        ++wordEnd;

    const Text word = text.mid(wordStart, wordEnd - wordStart);
    const int equals = word.indexOf('=');
    const Text key = equals < 0 ? word : word.left(equals);
    Text rest = text.mid(wordEnd);
    rest.replace(promptText, Text());

    QJsonValue value;
    const JsonText::Parsed parsed = JsonText::parse(bracketed(rest));
    if (parsed.isValid()) {
        // A complete reply without an answer still ends the wait: an Undefined value would
        // drop the key and leave the object empty, as if more bytes were due.
        const QJsonArray array = parsed.document.array();
        value = array.isEmpty() ? QJsonValue(QJsonValue::Null) : array.first();
    } else {
        value = toText(rest);
    }
    return QJsonObject{{toText(key), value}};
}

// A frame known to hold the prompt. Device replies are ASCII, which reads the same in every
// locale encoding: those are framed on the bytes, without the round trip through text that
// costs as much as the JSON parse.
QJsonObject framePrompted(const QByteArray &bytes)
{
    if (isAscii(bytes))
        return frameReply(bytes, ReplyFramer::prompt);
    return frameReply(QString::fromLocal8Bit(bytes), QString::fromLatin1(ReplyFramer::prompt));
}

} // namespace

QJsonObject ReplyFramer::parseSerial(const QByteArray &bytes)
{
    if (indexOfPrompt(bytes) < 0)
        return {};
    return framePrompted(bytes);
}

QJsonObject ReplyFramer::takeSerialFrame(QByteArray *buffer)
{
    const int promptAt = indexOfPrompt(*buffer);
    if (promptAt < 0)
        return {};
    const int frameEnd = promptAt + prompt.size();
    const QJsonObject reply = framePrompted(buffer->left(frameEnd));
    buffer->remove(0, frameEnd);
    return reply;
}

QJsonObject ReplyFramer::parseNetwork(const QByteArray &bytes)
{
    const JsonText::Parsed parsed = JsonText::parse(bytes.trimmed());
    if (!parsed.isValid() || !parsed.document.isObject()) {
        qCDebug(lcDevice).noquote()
            << "JSON Parse error: " + parsed.error << QString::fromLocal8Bit(bytes);
        return {};
    }
    return parsed.document.object().value(QLatin1String("data")).toObject();
}
