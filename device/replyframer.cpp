#include "replyframer.h"

#include "devicelog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QString>

const QByteArray ReplyFramer::prompt = QByteArrayLiteral("\r\n>>");

QJsonObject ReplyFramer::parseSerial(const QByteArray &bytes)
{
    if (!bytes.contains(prompt))
        return {};

    const QString text = QString::fromLocal8Bit(bytes);
    int wordStart = 0;
    while (wordStart < text.size() && text.at(wordStart).isSpace())
        ++wordStart;
    int wordEnd = wordStart;
    while (wordEnd < text.size() && !text.at(wordEnd).isSpace())
        ++wordEnd;

    const QString key = text.mid(wordStart, wordEnd - wordStart).section(QLatin1Char('='), 0, 0);
    QString rest = text.mid(wordEnd);
    rest.remove(QString::fromLatin1(prompt));

    QJsonValue value;
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QStringLiteral("[ %1 ]").arg(rest).toUtf8(), &error);
    if (error.error == QJsonParseError::NoError) {
        // A complete reply without an answer still ends the wait: an Undefined value would
        // drop the key and leave the object empty, as if more bytes were due.
        const QJsonArray array = document.array();
        value = array.isEmpty() ? QJsonValue(QJsonValue::Null) : array.first();
    } else {
        value = rest;
    }
    return QJsonObject{{key, value}};
}

QJsonObject ReplyFramer::takeSerialFrame(QByteArray *buffer)
{
    const int promptAt = buffer->indexOf(prompt);
    if (promptAt < 0)
        return {};
    const int frameEnd = promptAt + prompt.size();
    const QJsonObject reply = parseSerial(buffer->left(frameEnd));
    buffer->remove(0, frameEnd);
    return reply;
}

QJsonObject ReplyFramer::parseNetwork(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCDebug(lcDevice).noquote()
            << "JSON Parse error: " + error.errorString() << QString::fromLocal8Bit(bytes);
        return {};
    }
    return document.object().value(QLatin1String("data")).toObject();
}
