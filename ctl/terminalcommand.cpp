#include "terminalcommand.h"

#include "ctloutput.h"
#include "devicesession.h"
#include "devicevocabulary.h"
#include "terminalbridge.h"

#include <QTcpSocket>

ExitStatus TerminalCommand::run(const CtlRequest &request)
{
    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;
    RemoteDevice &device = session.device();

    QTcpSocket socket;
    // The link's serial port, which the terminal borrows, or a connection of its own.
    QIODevice *stream = device.serialPort();
    if (device.transport() != stream) {
        const QHostAddress host = device.udpSocket()->peerAddress();
        socket.connectToHost(host, DeviceAddress::terminalPort);
        if (!socket.waitForConnected(tcpConnectWaitMs)) {
            CtlOutput::error(tr("Cannot reach the terminal of %1 (TCP port %2): %3")
                                 .arg(host.toString())
                                 .arg(DeviceAddress::terminalPort)
                                 .arg(socket.errorString()));
            return ExitStatus::DeviceFailure;
        }
        stream = &socket;
    }

    TerminalBridge bridge(stream);
    QObject::connect(&device, &RemoteDevice::deviceDisconnect, &bridge,
                     [&bridge] { bridge.streamLost(tr("The link to the device was lost.")); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &bridge,
                     [&bridge] { bridge.streamLost(tr("The device closed the terminal.")); });
    return bridge.run();
}
