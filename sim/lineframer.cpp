#include "lineframer.h"

LineFramer::Step LineFramer::push(char byte)
{
    Step step;
    const bool wasAfterCr = m_afterCr;
    m_afterCr = byte == '\r';
    if (byte == '\r' || byte == '\n') {
        step.lineDone = !(byte == '\n' && wasAfterCr);
        return step;
    }
    if (byte == '\b' || byte == '\x7f') {
        if (!m_line.isEmpty()) {
            m_line.chop(1);
            step.echo = "\b \b";
        }
        return step;
    }
    const auto code = static_cast<unsigned char>(byte);
    if ((code < 0x20 && byte != '\t') || m_line.size() >= maxLineBytes)
        return step;
    m_line.append(byte);
    step.echo = QByteArray(1, byte);
    return step;
}

QByteArray LineFramer::takeLine()
{
    QByteArray done;
    done.swap(m_line);
    return done;
}
