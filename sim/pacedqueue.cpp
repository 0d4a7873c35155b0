#include "pacedqueue.h"

PacedQueue::PacedQueue(QObject *parent)
    : QObject(parent)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &PacedQueue::pump);
}

void PacedQueue::schedule(int waitMs, std::function<void()> action)
{
    steps.enqueue(Step{waitMs, std::move(action)});
    if (!timer.isActive())
        pump();
}

void PacedQueue::pump()
{
    while (!steps.isEmpty()) {
        Step &next = steps.head();
        if (next.waitMs > 0) {
            timer.start(next.waitMs);
            next.waitMs = 0;
            return;
        }
        const std::function<void()> action = steps.dequeue().action;
        action();
    }
}
