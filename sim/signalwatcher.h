#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal end of the event loop, so the sim tidies up (its link
// to the pseudo-terminal above all) however it is stopped.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

private:
    static void onSignal(int signal);
    void onNotified();

    QSocketNotifier *notifier = nullptr;
};
