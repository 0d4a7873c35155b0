#include "datagramexchange.h"

#include "devicelog.h"
#include "replyframer.h"
#include "wireformat.h"

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QUdpSocket>

#include <cerrno>

#include <poll.h>
#include <sys/socket.h>

namespace {

constexpr int staleDatagramLimit = 64; // far more than late and duplicated replies can leave
// What receiveDatagram() returns besides a size.
constexpr qint64 nothingPending = -1;
constexpr qint64 receiveFailed = -2; // the device's port closed, or the socket gone

} // namespace

DatagramExchange::DatagramExchange(QUdpSocket *socket)
    : TransportExchange(socket)
    , m_socket(socket)
{}

QByteArray DatagramExchange::commandLine(const QString &path, const QString &value) const
{
    return WireFormat::commandLine(path, value, false);
}

bool DatagramExchange::discardStaleInput()
{
    // Bounded: a peer that never stops sending must not hold the thread here.
    for (int i = 0; i < staleDatagramLimit; ++i) {
        const qint64 size = receiveDatagram();
        if (size == receiveFailed)
            return false;
        if (size == nothingPending)
            break;
    }
    return true;
}

bool DatagramExchange::write(const QByteArray &line)
{
    return m_socket->write(line) == line.size();
}

// A datagram naming another path (late or duplicated) is dropped. A reply that is already there
// is taken without a wait.
TransportExchange::Outcome DatagramExchange::takeReply(const QString &path,
                                                       const QDeadlineTimer &deadline)
{
    qint64 received = 0;
    for (;;) {
        const qint64 size = receiveDatagram();
        if (size == receiveFailed)
            return {Outcome::LinkBroken, {}, m_failureReason};
        if (size == nothingPending) {
            const int waitMs = nextWaitMs(deadline);
            if (waitMs <= 0 || !waitUntilReadable(waitMs))
                return withoutReply();
            continue;
        }
        received += size;
        const QJsonObject reply =
            ReplyFramer::parseNetwork(QByteArray::fromRawData(m_datagram.constData(), int(size)));
        if (reply.contains(path))
            return {Outcome::Reply, reply.value(path), {}};
        if (!reply.isEmpty())
            qCDebug(lcDevice) << "Reply for another command dropped:" << reply.keys();
        // Datagrams that keep coming, empty ones too, end the attempt at its bounds.
        if (received > replyLimitBytes || deadline.hasExpired())
            return withoutReply();
    }
}

// One datagram, read whole into m_datagram without waiting: its size, nothingPending or
// receiveFailed.
qint64 DatagramExchange::receiveDatagram()
{
    for (;;) {
        const ssize_t size = ::recv(int(m_socket->socketDescriptor()), m_datagram.data(),
                                    size_t(m_datagram.size()), MSG_DONTWAIT);
        if (size >= 0)
            return size;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK)
            return nothingPending;
        m_failureReason = qt_error_string(error);
        qCDebug(lcDevice).noquote() << "Socket Error: " + m_failureReason;
        return receiveFailed;
    }
}

// Waits up to `ms` for input (or an error) on the socket; false when it stays quiet.
bool DatagramExchange::waitUntilReadable(int ms) const
{
    const QDeadlineTimer deadline(ms);
    pollfd entry{int(m_socket->socketDescriptor()), POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}
