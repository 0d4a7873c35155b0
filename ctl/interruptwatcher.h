#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal on the event loop, so a log ends with its last line
// whole and the link closed.
class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

signals:
    void interrupted();

private:
    static void onSignal(int signal);
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
};
