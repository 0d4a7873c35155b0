#pragma once

#include "transportexchange.h"

#include <QByteArray>

class QUdpSocket;

// The exchange over UDP: a command is one datagram, and so is each reply. The socket is read
// and waited on through its descriptor: through QUdpSocket every empty read is reported as an
// error signal, and the drain before each command meets one every time.
class DatagramExchange : public TransportExchange
{
public:
    explicit DatagramExchange(QUdpSocket *socket);

    QByteArray commandLine(const QString &path, const QString &value) const override;

private:
    bool discardStaleInput() override;
    bool write(const QByteArray &line) override;
    Outcome takeReply(const QString &path, const QDeadlineTimer &deadline) override;
    qint64 receiveDatagram();
    bool waitUntilReadable(int ms) const;

    QUdpSocket *m_socket = nullptr;
    // Every datagram is read whole into this in one call, without asking its size first.
    QByteArray m_datagram{64 * 1024, Qt::Uninitialized};
};
