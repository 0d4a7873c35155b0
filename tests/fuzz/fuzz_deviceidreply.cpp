// Discovery reply parsing on arbitrary bytes: a serial probe's buffer or a datagram from any
// address, well formed, cut short, with stray echoes and prompts, JSON of every shape.
#include "devicediscover.h"
#include "devicevocabulary.h"
#include "fuzzcheck.h"
#include "jsontext.h"
#include "replyframer.h"

#include <QJsonDocument>

namespace {

// The two ways a device sends its identity, and a bare object, must each give it back whole.
void requireWrappedComesBack(const QJsonObject &identity)
{
    const QJsonObject expected = fuzz::readBack(identity);
    const QJsonObject envelope{
        {RecordKey::replyData, QJsonObject{{DevicePath::deviceId, identity}}}};
    fuzz::require(DeviceDiscover::parseDeviceIdReply(fuzz::compact(envelope)) == expected,
                  "an identity in the network envelope comes back");
    if (identity.contains(RecordKey::replyData))
        return; // a bare root with "data" is an envelope, not an identity
    const QByteArray text = fuzz::compact(identity);
    fuzz::require(DeviceDiscover::parseDeviceIdReply(DevicePath::deviceId.toLatin1() + "\r\n" + text
                                                     + ReplyFramer::prompt)
                      == expected,
                  "an identity framed as the serial line frames it comes back");
    fuzz::require(DeviceDiscover::parseDeviceIdReply(text) == expected,
                  "a root object without data comes back itself");
}

} // namespace

void fuzz::checkInput(const QByteArray &bytes)
{
    const QJsonObject reply = DeviceDiscover::parseDeviceIdReply(bytes);
    requireWrappedComesBack(reply);
    const QJsonDocument document = JsonText::parse(bytes).document;
    if (document.isObject())
        requireWrappedComesBack(document.object());
}
