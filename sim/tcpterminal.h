#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class CommandService;

// The device's raw text terminal on TCP: each connection gets its own terminal conversation.
class TcpTerminal : public QObject
{
    Q_OBJECT

public:
    explicit TcpTerminal(CommandService *service, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port, QString *error);
    // Hangs up every open connection, as a device does when its terminal service restarts.
    void dropConnections();

private:
    void onNewConnection();

    CommandService *m_service = nullptr;
    QTcpServer m_server;
};
