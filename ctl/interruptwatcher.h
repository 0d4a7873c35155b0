#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal on the event loop, so a log ends with its last line
// whole and the link closed. A write that waits for a reader is cut short by either (see
// hasFired()); a second of the same kind ends the program at once.
class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

    // Whether SIGINT or SIGTERM came since the watcher was made.
    static bool hasFired();

signals:
    void interrupted();

private:
    static void onSignal(int signal);
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
};
