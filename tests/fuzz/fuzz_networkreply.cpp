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

    // Compared with what JSON itself reads back from the reply's text: Qt's writer may move a
    // number beyond 2^63 by one unit in the last place, which is no matter of the framing.
    const auto compact = [](const QJsonObject &object) {
        return QJsonDocument(object).toJson(QJsonDocument::Compact);
    };
    const QJsonObject readBack = QJsonDocument::fromJson(compact(reply)).object();
    fuzz::require(ReplyFramer::parseNetwork(compact({{QStringLiteral("data"), reply}})) == readBack,
                  "a reply sent again in its envelope reads the same");

    if (!reply.isEmpty()) {
        const QByteArray body = bytes.trimmed();
        fuzz::require(ReplyFramer::parseNetwork(body.left(body.lastIndexOf('}'))).isEmpty(),
                      "a datagram cut before its closing brace is no reply");
    }
    return 0;
}
