// Serial reply framing on arbitrary bytes: what the line may deliver between a command and its
// prompt, including noise, a reply from another command and 64 KiB of anything.
#include "fuzzcheck.h"
#include "replyframer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool isEchoedPath(const QString &key)
{
    for (const QChar c : key) {
        if (c.isSpace() || c == QLatin1Char('='))
            return false;
    }
    return true;
}

// When the input is a JSON answer, a device framing it (echo, answer, prompt) must get back the
// value JSON itself reads from that answer, for a query and for a setting echo alike. A setting
// goes out with its white space removed, so that is what comes back as the echo.
void checkFramedAnswer(const QByteArray &answer)
{
    const QJsonDocument parsed = QJsonDocument::fromJson("[" + answer + "]");
    if (!parsed.isArray() || parsed.array().isEmpty())
        return;
    const QByteArray list =
        QJsonDocument(QJsonArray{parsed.array().first()}).toJson(QJsonDocument::Compact);
    const QByteArray text = list.mid(1, list.size() - 2);
    const QJsonValue expected = QJsonDocument::fromJson(list).array().first();

    const QString path = QStringLiteral("/vkt/commandForce");
    const QByteArray setting = QString::fromUtf8(path.toUtf8() + "=" + text)
                                   .simplified()
                                   .remove(QLatin1Char(' '))
                                   .toUtf8();
    for (const QByteArray &echo : {path.toUtf8(), setting}) {
        const QJsonObject reply =
            ReplyFramer::parseSerial(echo + "\r\n" + text + ReplyFramer::prompt);
        fuzz::require(reply == QJsonObject{{path, expected}},
                      "a framed JSON answer gives its value under the echoed path");
    }
}

} // namespace

void fuzz::checkInput(const QByteArray &bytes)
{
    const QJsonObject reply = ReplyFramer::parseSerial(bytes);
    if (!bytes.contains(ReplyFramer::prompt)) {
        fuzz::require(reply.isEmpty(), "no reply before the prompt has arrived");
    } else {
        fuzz::require(reply.size() == 1, "a complete reply has exactly one member");
        fuzz::require(isEchoedPath(reply.constBegin().key()),
                      "the key is one echoed word without its value");
    }
    checkFramedAnswer(bytes);
}
