#include "serialexchange.h"

#include "devicelog.h"
#include "replyframer.h"
#include "wireformat.h"

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QSerialPort>

SerialExchange::SerialExchange(QSerialPort *port)
    : TransportExchange(port)
    , m_port(port)
{}

QByteArray SerialExchange::commandLine(const QString &path, const QString &value) const
{
    return WireFormat::commandLine(path, value, true);
}

bool SerialExchange::discardStaleInput()
{
    m_port->clear(QSerialPort::Input); // the port's own buffer and the line's
    return true;
}

bool SerialExchange::write(const QByteArray &line)
{
    const bool whole = m_port->write(line) == line.size();
    // Written now rather than from inside the first wait, which then polls for input only.
    m_port->flush();
    return whole;
}

// Frames that name another command (a late reply, a boot banner, an extra prompt) are dropped
// with their prompt; what follows them stays for the next frame.
TransportExchange::Outcome SerialExchange::takeReply(const QString &path,
                                                     const QDeadlineTimer &deadline)
{
    QByteArray buffer;
    qint64 received = 0;
    for (;;) {
        const int waitMs = nextWaitMs(deadline);
        if (waitMs <= 0 || !m_port->waitForReadyRead(waitMs) || !m_port->isWritable())
            return withoutReply();
        // What has come, and no more: readAll() first sizes a buffer for tens of kilobytes.
        const QByteArray bytes = m_port->read(m_port->bytesAvailable());
        received += bytes.size();
        buffer.append(bytes);
        for (QJsonObject frame = ReplyFramer::takeSerialFrame(&buffer); !frame.isEmpty();
             frame = ReplyFramer::takeSerialFrame(&buffer)) {
            if (frame.contains(path))
                return {Outcome::Reply, frame.value(path), {}};
            qCDebug(lcDevice) << "Reply for another command dropped:" << frame.keys();
        }
        if (received > replyLimitBytes)
            return withoutReply();
    }
}
