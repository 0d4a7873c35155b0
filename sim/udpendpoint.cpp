#include "udpendpoint.h"

#include "commandservice.h"
#include "faultinjector.h"
#include "simcommand.h"

#include <QNetworkDatagram>
#include <QTimer>

UdpEndpoint::UdpEndpoint(CommandService *service, QObject *parent)
    : QObject(parent)
    , service(service)
{
    connect(&socket, &QUdpSocket::readyRead, this, &UdpEndpoint::onReadyRead);
}

bool UdpEndpoint::listen(const QHostAddress &address, quint16 port, QString *error)
{
    // not shared: a second sim on the same address must fail instead of stealing datagrams
    if (!socket.bind(address, port, QAbstractSocket::DontShareAddress)) {
        *error = socket.errorString();
        return false;
    }
    return true;
}

void UdpEndpoint::onReadyRead()
{
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram();
        const QString command = QString::fromUtf8(datagram.data()).trimmed();
        if (!datagram.isValid() || command.isEmpty())
            continue;
        const std::optional<SimAnswer> answer = service->process(command);
        if (!answer)
            continue;
        FaultInjector *faults = service->faults();
        const QByteArray reply = faults->garbles() ? faults->garbageBytes()
                                                   : answer->datagram(SimCommand(command).path());
        // answer the sender itself: a broadcast query has no address to reply from
        const QHostAddress peer = datagram.senderAddress();
        const quint16 peerPort = static_cast<quint16>(datagram.senderPort());
        const auto send = [this, reply, peer, peerPort] {
            socket.writeDatagram(reply, peer, peerPort);
        };
        QTimer::singleShot(faults->delayMs(), this, send);
        if (faults->duplicateMs() > 0)
            QTimer::singleShot(faults->delayMs() + faults->duplicateMs(), this, send);
    }
}
