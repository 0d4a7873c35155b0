#include "interruptwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the handler, read by the event loop: the one thing a handler may safely do.
int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t fired = 0;

} // namespace

InterruptWatcher::InterruptWatcher(QObject *parent)
    : QObject(parent)
{
    fired = 0;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatcher::onNotified);
    struct sigaction action = {};
    action.sa_handler = &InterruptWatcher::onSignal;
    sigemptyset(&action.sa_mask);
    // No restart: a write blocked on a full pipe returns, instead of holding the program past
    // the signal meant to end it.
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

InterruptWatcher::~InterruptWatcher()
{
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    for (int &fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool InterruptWatcher::hasFired()
{
    return fired != 0;
}

void InterruptWatcher::onSignal(int)
{
    fired = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void InterruptWatcher::onNotified()
{
    char byte;
    [[maybe_unused]] const ssize_t count = ::read(signalPipe[1], &byte, 1);
    emit interrupted();
}
