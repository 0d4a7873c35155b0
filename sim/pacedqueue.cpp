#include "pacedqueue.h"

PacedQueue::PacedQueue(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PacedQueue::pump);
}

void PacedQueue::schedule(int waitMs, std::function<void()> action)
{
    m_steps.enqueue(Step{waitMs, std::move(action)});
    if (!m_timer.isActive())
        pump();
}

void PacedQueue::pump()
{
    while (!m_steps.isEmpty()) {
        Step &next = m_steps.head();
        if (next.waitMs > 0) {
            m_timer.start(next.waitMs);
            next.waitMs = 0;
            return;
        }
        const std::function<void()> action = m_steps.dequeue().action;
        action();
    }
}
