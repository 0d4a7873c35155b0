// Serial reply framing on arbitrary bytes: what the line may deliver between a command and its
// prompt, including noise, a reply from another command and 64 KiB of anything.
#include "fuzzcheck.h"
#include "replyframer.h"

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
}
