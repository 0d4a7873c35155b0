#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class MainWindow;

// Keeps the dashboard on one device address for the length of a soak: whenever the link is
// down it connects again, as an operator would press CONNECT, and counts what happened.
class SoakDriver : public QObject
{
    Q_OBJECT

public:
    static constexpr int reconnectPeriodMs = 1000;
    static constexpr int reportPeriodMs = 10000;

    explicit SoakDriver(MainWindow &window, const QString &address, QObject *parent = nullptr);

    void start();
    // One line: connects, disconnects (connected to not), reconnect attempts, polls seen.
    QString counts() const;

private:
    void reconnectIfDown();
    void onConnect();
    void onDisconnect();
    void report();

    MainWindow &m_window;
    QString m_address;
    QTimer m_reconnectTimer;
    QTimer m_reportTimer;
    bool m_connected = false;
    int m_connects = 0;
    int m_disconnects = 0;
    int m_attempts = 0;
};
