#include "tcpterminal.h"

#include "simlog.h"
#include "streamsession.h"

#include <QTcpSocket>

TcpTerminal::TcpTerminal(CommandService *service, QObject *parent)
    : QObject(parent)
    , m_service(service)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpTerminal::onNewConnection);
}

bool TcpTerminal::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (!m_server.listen(address, port)) {
        *error = m_server.errorString();
        return false;
    }
    return true;
}

void TcpTerminal::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        qCDebug(lcSim) << "terminal connection from" << socket->peerAddress().toString();
        auto *session = new StreamSession(
            m_service, [socket](const QByteArray &bytes) { socket->write(bytes); }, socket);
        connect(socket, &QTcpSocket::readyRead, session,
                [socket, session] { session->receive(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        session->greet();
    }
}

void TcpTerminal::dropConnections()
{
    // Accepted sockets are the server's children until they are gone.
    const QList<QTcpSocket *> sockets = m_server.findChildren<QTcpSocket *>();
    for (QTcpSocket *socket : sockets)
        socket->disconnectFromHost();
}
