#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into `interrupted` on the event loop, so a program ends in order (a
// log with its last line whole, a link removed). When the event loop cannot get there, the
// program being blocked in a write or busy, the signal's default action ends it `graceS` after
// the signal, and at once on a second one. Neither signal restarts a write it interrupts. One
// watcher at a time.
class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr unsigned graceS = 3;

    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

    // Whether SIGINT or SIGTERM came since the watcher was made; a write it cut short ends the
    // output there.
    static bool hasFired();

signals:
    void interrupted();

private:
    static void onSignal(int signal);
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
};
