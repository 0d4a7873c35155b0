// Network reply framing on arbitrary datagrams: stray packets, truncated or padded replies,
// JSON of every shape, 64 KiB of anything.
#include "fuzzcheck.h"
#include "replyframer.h"

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzz::bytes(data, size);
    const QJsonObject reply = ReplyFramer::parseNetwork(bytes);

    fuzz::require(ReplyFramer::parseNetwork(" \r\n" + bytes + "\t\n ") == reply,
                  "white space around a datagram changes nothing");

    const QByteArray envelope =
            QJsonDocument(QJsonObject{{QStringLiteral("data"), reply}}).toJson(QJsonDocument::Compact);
    fuzz::require(ReplyFramer::parseNetwork(envelope) == reply,
                  "a reply sent again in its envelope reads the same");

    if (!reply.isEmpty()) {
        const QByteArray body = bytes.trimmed();
        fuzz::require(ReplyFramer::parseNetwork(body.left(body.lastIndexOf('}'))).isEmpty(),
                      "a datagram cut before its closing brace is no reply");
    }
    return 0;
}
