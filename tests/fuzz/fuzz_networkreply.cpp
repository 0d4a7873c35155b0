// Network reply framing on arbitrary datagrams: stray packets, truncated or padded replies,
// JSON of every shape, 64 KiB of anything.
#include "fuzzcheck.h"
#include "replyframer.h"

void fuzz::checkInput(const QByteArray &bytes)
{
    const QJsonObject reply = ReplyFramer::parseNetwork(bytes);

    fuzz::require(ReplyFramer::parseNetwork(" \r\n" + bytes + "\t\n ") == reply,
                  "white space around a datagram changes nothing");

    fuzz::require(ReplyFramer::parseNetwork(fuzz::compact({{QStringLiteral("data"), reply}}))
                      == fuzz::readBack(reply),
                  "a reply sent again in its envelope reads the same");

    if (!reply.isEmpty()) {
        const QByteArray body = bytes.trimmed();
        fuzz::require(ReplyFramer::parseNetwork(body.left(body.lastIndexOf('}'))).isEmpty(),
                      "a datagram cut before its closing brace is no reply");
    }
}
