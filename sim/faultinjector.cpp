#include "faultinjector.h"

FaultInjector::FaultInjector(const Settings &settings)
    : m_settings(settings)
    , m_random(settings.seed)
{}

bool FaultInjector::isSilent() const
{
    return m_silenced || (m_settings.silentAfter >= 0 && m_commandCount >= m_settings.silentAfter);
}

bool FaultInjector::hangsUp() const
{
    return m_settings.hangupAfter >= 0 && m_commandCount > m_settings.hangupAfter;
}

bool FaultInjector::dropsReply()
{
    return m_settings.dropPercent > 0
           && static_cast<int>(m_random.bounded(100)) < m_settings.dropPercent;
}

QByteArray FaultInjector::garbageBytes()
{
    // line noise: never a prompt, never valid JSON
    QByteArray bytes("\x15~\xfe");
    const int length = 8 + static_cast<int>(m_random.bounded(24));
    for (int i = 0; i < length; ++i) {
        char byte = static_cast<char>(m_random.bounded(256));
        if (byte == '>' || byte == '{' || byte == '"')
            byte = '\x7f';
        bytes.append(byte);
    }
    return bytes;
}
