#include "terminalbridge.h"

#include "ctloutput.h"

#include <QIODevice>

#include <unistd.h>

namespace {

constexpr int chunkBytes = 4096;

} // namespace

TerminalBridge::TerminalBridge(QIODevice *stream, QObject *parent)
    : QObject(parent)
    , m_stream(stream)
    , m_stdin(STDIN_FILENO, QSocketNotifier::Read)
{
    m_quietTimer.setSingleShot(true);
    m_drainTimer.setSingleShot(true);
    connect(&m_stdin, &QSocketNotifier::activated, this, &TerminalBridge::onStdinReadable);
    connect(m_stream, &QIODevice::readyRead, this, &TerminalBridge::onStreamReadable);
    connect(&m_quietTimer, &QTimer::timeout, this, [this] { finish(ExitStatus::Success); });
    connect(&m_drainTimer, &QTimer::timeout, this, [this] { finish(ExitStatus::Success); });
    connect(&m_interrupts, &InterruptWatcher::interrupted, this,
            [this] { finish(ExitStatus::Success); });
}

ExitStatus TerminalBridge::run()
{
    // Whatever arrived before the loop (a greeting) is shown first.
    onStreamReadable();
    m_loop.exec();
    return m_status;
}

void TerminalBridge::streamLost(const QString &reason)
{
    if (m_stdinEnded) {
        finish(ExitStatus::Success);
        return;
    }
    CtlOutput::error(reason);
    finish(ExitStatus::DeviceFailure);
}

void TerminalBridge::onStdinReadable()
{
    char buffer[chunkBytes];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count > 0) {
        m_stream->write(buffer, count);
        return;
    }
    // End of input (or an error reading it): no more to send, only the answers to wait for.
    m_stdin.setEnabled(false);
    m_stdinEnded = true;
    m_quietTimer.start(quietMs);
    m_drainTimer.start(drainBoundMs);
}

void TerminalBridge::onStreamReadable()
{
    const QByteArray data = m_stream->readAll();
    if (data.isEmpty())
        return;
    if (!CtlOutput::bytes(data)) {
        finish(ExitStatus::DeviceFailure);
        return;
    }
    if (m_stdinEnded)
        m_quietTimer.start(quietMs);
}

void TerminalBridge::finish(ExitStatus status)
{
    m_status = status;
    m_stdin.setEnabled(false);
    m_loop.quit();
}
