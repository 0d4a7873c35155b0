#include "faultinjector.h"

FaultInjector::FaultInjector(const Settings &settings)
    : settings(settings)
    , random(settings.seed)
{}

bool FaultInjector::isSilent() const
{
    return silenced || (settings.silentAfter >= 0 && commandCount >= settings.silentAfter);
}

bool FaultInjector::hangsUp() const
{
    return settings.hangupAfter >= 0 && commandCount > settings.hangupAfter;
}

bool FaultInjector::dropsReply()
{
    return settings.dropPercent > 0 && static_cast<int>(random.bounded(100)) < settings.dropPercent;
}

QByteArray FaultInjector::garbageBytes()
{
    // line noise: never a prompt, never valid JSON
    QByteArray bytes("\x15~\xfe");
    const int length = 8 + static_cast<int>(random.bounded(24));
    for (int i = 0; i < length; ++i) {
        char byte = static_cast<char>(random.bounded(256));
        if (byte == '>' || byte == '{' || byte == '"')
            byte = '\x7f';
        bytes.append(byte);
    }
    return bytes;
}
