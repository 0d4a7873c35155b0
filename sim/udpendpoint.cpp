#include "udpendpoint.h"

#include "commandservice.h"
#include "faultinjector.h"
#include "simcommand.h"

#include <QNetworkDatagram>
#include <QTimer>

UdpEndpoint::UdpEndpoint(CommandService *service, QObject *parent)
    : QObject(parent)
    , m_service(service)
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
        const std::optional<SimAnswer> answer = m_service->process(command);
        if (!answer)
            continue;
        FaultInjector *faults = m_service->faults();
        const QString path =
            faults->answerAs().isEmpty() ? SimCommand(command).path() : faults->answerAs();
        // Padding goes inside the object, so that no piece of a long reply broken up into
        // datagrams is a reply of its own.
        const QByteArray whole = answer->datagram(path);
        const QByteArray reply = faults->garbles()
                                     ? faults->garbageBytes()
                                     : whole.left(1) + faults->padding() + whole.mid(1);
        // answer the sender itself: a broadcast query has no address to reply from
        const QHostAddress peer = datagram.senderAddress();
        const quint16 peerPort = static_cast<quint16>(datagram.senderPort());
        sendInPieces(reply, peer, peerPort, faults->delayMs());
        if (faults->duplicateMs() > 0)
            sendInPieces(reply, peer, peerPort, faults->delayMs() + faults->duplicateMs());
    }
}

// Pieces of a broken-up reply are datagrams of their own, as a device that splits its output
// would send them.
void UdpEndpoint::sendInPieces(const QByteArray &reply, const QHostAddress &peer, quint16 peerPort,
                               int startMs)
{
    const FaultInjector *faults = m_service->faults();
    const int chunk = faults->chunkBytes() > 0 ? faults->chunkBytes() : reply.size();
    int atMs = startMs;
    for (int at = 0; at < reply.size(); at += chunk) {
        const QByteArray piece = reply.mid(at, chunk);
        QTimer::singleShot(atMs, this, [this, piece, peer, peerPort] {
            socket.writeDatagram(piece, peer, peerPort);
        });
        atMs += faults->chunkPauseMs();
    }
}
