#include "streamsession.h"

#include "commandservice.h"
#include "faultinjector.h"

StreamSession::StreamSession(CommandService *service, Writer writer, QObject *parent)
    : QObject(parent)
    , m_service(service)
    , m_writer(std::move(writer))
{}

void StreamSession::receive(const QByteArray &bytes)
{
    QByteArray echo;
    for (const char byte : bytes) {
        const LineFramer::Step step = m_framer.push(byte);
        echo += step.echo;
        if (step.lineDone) {
            flushEcho(&echo);
            answer(m_framer.takeLine());
        }
    }
    flushEcho(&echo);
}

void StreamSession::greet()
{
    if (m_service->faults()->isSilent())
        return;
    sendReply(m_service->greeting().toUtf8() + endOfReply());
}

void StreamSession::flushEcho(QByteArray *echo)
{
    // A reply that names another path comes without the echo of the command itself.
    const FaultInjector *faults = m_service->faults();
    if (!echo->isEmpty() && !faults->isSilent() && faults->answerAs().isEmpty()) {
        const QByteArray bytes = *echo;
        m_output.schedule(0, [this, bytes] { m_writer(bytes); });
    }
    echo->clear();
}

void StreamSession::answer(const QByteArray &line)
{
    FaultInjector *faults = m_service->faults();
    if (line.trimmed().isEmpty()) {
        if (!faults->isSilent())
            sendReply(endOfReply());
        return;
    }
    const std::optional<SimAnswer> reply = m_service->process(QString::fromUtf8(line));
    if (!reply)
        return;
    if (faults->garbles())
        sendReply(faults->garbageBytes());
    else
        sendReply(faults->answerAs().toUtf8() + "\r\n" + faults->padding() + reply->terminalBytes()
                  + endOfReply());
    sendUnasked();
}

// What a real line may carry between replies: a stray prompt, the banner of a reboot.
void StreamSession::sendUnasked()
{
    const FaultInjector *faults = m_service->faults();
    if (faults->extraPromptMs() > 0)
        m_output.schedule(faults->extraPromptMs(), [this] { m_writer(endOfReply()); });
    if (faults->bannerMs() > 0) {
        const QByteArray banner = "\r\nVKT boot loader 2.1 ready" + endOfReply();
        m_output.schedule(faults->bannerMs(), [this, banner] { m_writer(banner); });
    }
}

void StreamSession::sendReply(const QByteArray &bytes)
{
    const FaultInjector *faults = m_service->faults();
    const int chunk = faults->chunkBytes() > 0 ? faults->chunkBytes() : bytes.size();
    int waitMs = faults->delayMs();
    for (int at = 0; at < bytes.size(); at += chunk) {
        const QByteArray piece = bytes.mid(at, chunk);
        m_output.schedule(waitMs, [this, piece] { m_writer(piece); });
        waitMs = faults->chunkPauseMs();
    }
}

QByteArray StreamSession::endOfReply() const
{
    return m_service->faults()->sendsPrompt() ? QByteArray("\r\n>>") : QByteArray("\r\n");
}
