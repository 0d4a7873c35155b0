#include "lineframer.h"

LineFramer::Step LineFramer::push(char byte)
{
    Step step;
    const bool wasAfterCr = afterCr;
    afterCr = byte == '\r';
    if (byte == '\r' || byte == '\n') {
        step.lineDone = !(byte == '\n' && wasAfterCr);
        return step;
    }
    if (byte == '\b' || byte == '\x7f') {
        if (!line.isEmpty()) {
            line.chop(1);
            step.echo = "\b \b";
        }
        return step;
    }
    const auto code = static_cast<unsigned char>(byte);
    if ((code < 0x20 && byte != '\t') || line.size() >= maxLineBytes)
        return step;
    line.append(byte);
    step.echo = QByteArray(1, byte);
    return step;
}

QByteArray LineFramer::takeLine()
{
    QByteArray done;
    done.swap(line);
    return done;
}
