#include "streamsession.h"

#include "commandservice.h"
#include "faultinjector.h"

StreamSession::StreamSession(CommandService *service, Writer writer, QObject *parent)
    : QObject(parent)
    , service(service)
    , writer(std::move(writer))
{}

void StreamSession::receive(const QByteArray &bytes)
{
    QByteArray echo;
    for (const char byte : bytes) {
        const LineFramer::Step step = framer.push(byte);
        echo += step.echo;
        if (step.lineDone) {
            flushEcho(&echo);
            answer(framer.takeLine());
        }
    }
    flushEcho(&echo);
}

void StreamSession::greet()
{
    if (service->faults()->isSilent())
        return;
    sendReply(service->greeting().toUtf8() + endOfReply());
}

void StreamSession::flushEcho(QByteArray *echo)
{
    // A reply that names another path comes without the echo of the command itself.
    const FaultInjector *faults = service->faults();
    if (!echo->isEmpty() && !faults->isSilent() && faults->answerAs().isEmpty()) {
        const QByteArray bytes = *echo;
        output.schedule(0, [this, bytes] { writer(bytes); });
    }
    echo->clear();
}

void StreamSession::answer(const QByteArray &line)
{
    FaultInjector *faults = service->faults();
    if (line.trimmed().isEmpty()) {
        if (!faults->isSilent())
            sendReply(endOfReply());
        return;
    }
    const std::optional<SimAnswer> reply = service->process(QString::fromUtf8(line));
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
    const FaultInjector *faults = service->faults();
    if (faults->extraPromptMs() > 0)
        output.schedule(faults->extraPromptMs(), [this] { writer(endOfReply()); });
    if (faults->bannerMs() > 0) {
        const QByteArray banner = "\r\nVKT boot loader 2.1 ready" + endOfReply();
        output.schedule(faults->bannerMs(), [this, banner] { writer(banner); });
    }
}

void StreamSession::sendReply(const QByteArray &bytes)
{
    const FaultInjector *faults = service->faults();
    const int chunk = faults->chunkBytes() > 0 ? faults->chunkBytes() : bytes.size();
    int waitMs = faults->delayMs();
    for (int at = 0; at < bytes.size(); at += chunk) {
        const QByteArray piece = bytes.mid(at, chunk);
        output.schedule(waitMs, [this, piece] { writer(piece); });
        waitMs = faults->chunkPauseMs();
    }
}

QByteArray StreamSession::endOfReply() const
{
    return service->faults()->sendsPrompt() ? QByteArray("\r\n>>") : QByteArray("\r\n");
}
