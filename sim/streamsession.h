#pragma once

#include "lineframer.h"
#include "pacedqueue.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class CommandService;

// One terminal conversation over a byte stream (the pseudo-terminal, or one TCP connection):
// echo as the bytes come, then for each line "\r\n", the answer and the prompt "\r\n>>".
class StreamSession : public QObject
{
    Q_OBJECT

public:
    using Writer = std::function<void(const QByteArray &)>;

    StreamSession(CommandService *service, Writer writer, QObject *parent = nullptr);

    void receive(const QByteArray &bytes);
    // A banner line and the prompt, as a terminal service greets a new connection.
    void greet();

private:
    void flushEcho(QByteArray *echo);
    void answer(const QByteArray &line);
    void sendReply(const QByteArray &bytes);
    void sendUnasked();
    QByteArray endOfReply() const;

    CommandService *m_service = nullptr;
    Writer m_writer;
    LineFramer m_framer;
    PacedQueue m_output;
};
