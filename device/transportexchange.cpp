#include "transportexchange.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QIODevice>

TransportExchange::Outcome TransportExchange::attempt(const QByteArray &line, const QString &path)
{
    if (!discardStaleInput() || !m_transport->isWritable())
        return {Outcome::LinkBroken, {}, m_failureReason};
    // A line that cannot go out fails here, and would otherwise pass for a silent device.
    if (!write(line))
        return {Outcome::LinkBroken, {}, m_transport->errorString()};
    if (!m_transport->isWritable()) // a failed write has ended the link
        return {Outcome::LinkBroken, {}, {}};
    return takeReply(path, QDeadlineTimer(attemptBoundMs));
}

TransportExchange::Outcome TransportExchange::withoutReply() const
{
    return {m_transport->isWritable() ? Outcome::NoReply : Outcome::LinkBroken, {}, {}};
}

int TransportExchange::nextWaitMs(const QDeadlineTimer &deadline)
{
    return int(qMin<qint64>(replyWaitMs, deadline.remainingTime()));
}
