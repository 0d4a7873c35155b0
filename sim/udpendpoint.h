#pragma once

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

class CommandService;

// The device's UDP port: one command per datagram, one reply datagram back to the sender,
// broadcast identity queries included. A late reply is late on its own: datagrams keep no order
// and a device answers each one as it comes.
class UdpEndpoint : public QObject
{
    Q_OBJECT

public:
    explicit UdpEndpoint(CommandService *service, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port, QString *error);

private:
    void onReadyRead();
    void sendInPieces(const QByteArray &reply, const QHostAddress &peer, quint16 peerPort,
                      int startMs);

    CommandService *m_service = nullptr;
    QUdpSocket socket;
};
