#pragma once

#include <QObject>
#include <QQueue>
#include <QTimer>

#include <functional>

// Runs output actions strictly in order, each after its own wait, so a delayed or chunked reply
// is never overtaken by what follows it.
class PacedQueue : public QObject
{
    Q_OBJECT

public:
    explicit PacedQueue(QObject *parent = nullptr);

    void schedule(int waitMs, std::function<void()> action);

private:
    struct Step
    {
        int waitMs = 0;
        std::function<void()> action;
    };

    void pump();

    QQueue<Step> m_steps;
    QTimer m_timer;
};
