#include "interruptwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the handler, read by the event loop: the one thing a handler may safely do.
int signalPipe[2] = {-1, -1};
// The first of SIGINT and SIGTERM to come; 0 before.
volatile sig_atomic_t firstSignal = 0;

} // namespace

InterruptWatcher::InterruptWatcher(QObject *parent)
    : QObject(parent)
{
    firstSignal = 0;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatcher::onNotified);
    struct sigaction action = {};
    action.sa_handler = &InterruptWatcher::onSignal;
    sigemptyset(&action.sa_mask);
    // No restart: a write blocked on a full pipe returns, so the program can end in order
    // instead of waiting out the grace.
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGALRM})
        ::sigaction(signal, &action, nullptr);
}

InterruptWatcher::~InterruptWatcher()
{
    // SIGALRM keeps its handler: a grace already running still ends the program.
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
    return firstSignal != 0;
}

void InterruptWatcher::onSignal(int signal)
{
    // Async-signal-safe calls only.
    if (signal == SIGALRM || firstSignal != 0) {
        // The grace is over, or a second signal came: the default action ends the program.
        const int ending = signal == SIGALRM && firstSignal != 0 ? int(firstSignal) : signal;
        ::signal(ending, SIG_DFL);
        ::raise(ending);
        return;
    }
    firstSignal = signal;
    ::alarm(graceS);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void InterruptWatcher::onNotified()
{
    char byte;
    [[maybe_unused]] const ssize_t count = ::read(signalPipe[1], &byte, 1);
    emit interrupted();
}
