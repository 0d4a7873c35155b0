#pragma once

#include <QJsonValue>
#include <QString>

class QByteArray;
class QDeadlineTimer;
class QIODevice;

// One attempt of a command exchange on one transport: stale input discarded, the command line
// written, and the reply that names the command's path waited for within the bounds. Each
// transport frames, writes and waits in its own way; what a failed attempt means for the link
// is the link's to decide.
class TransportExchange
{
public:
    struct Outcome
    {
        enum Kind {
            Reply,     // `value` is the reply's value for the path
            NoReply,   // none within the bounds; the transport is still open
            LinkBroken // the transport failed, or its error handler has closed it
        };
        Kind kind = NoReply;
        QJsonValue value;
        QString reason; // why the link broke, when the transport told
    };

    static constexpr int replyWaitMs = 1000;    // one wait for more reply data
    static constexpr int attemptBoundMs = 3000; // whole attempt, however the reply trickles in
    static constexpr int replyLimitBytes = 64 * 1024;

    virtual ~TransportExchange() = default;

    QIODevice *transport() const { return m_transport; }
    // The bytes of one command as this transport carries it.
    virtual QByteArray commandLine(const QString &path, const QString &value) const = 0;
    Outcome attempt(const QByteArray &line, const QString &path);

protected:
    explicit TransportExchange(QIODevice *transport)
        : m_transport(transport)
    {}

    // The exchange is one command, one reply: anything pending before the command is written
    // answers nothing asked next. False when the transport failed on the way.
    virtual bool discardStaleInput() = 0;
    // False when the line did not go out whole (a datagram too long to send, a dead port).
    virtual bool write(const QByteArray &line) = 0;
    virtual Outcome takeReply(const QString &path, const QDeadlineTimer &deadline) = 0;

    // An attempt that ends without its reply, told by whether the transport survived it.
    Outcome withoutReply() const;
    // One wait for more reply data: up to replyWaitMs, never past the attempt's deadline.
    static int nextWaitMs(const QDeadlineTimer &deadline);

    QString m_failureReason; // why the transport last failed, as the system told

private:
    QIODevice *m_transport = nullptr;
};
