#include "consolewindow.h"

#include "devicetext.h"
#include "devicevocabulary.h"
#include "remotedevice.h"
#include "uilog.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

constexpr int terminalConnectWaitMs = 3000;
// What one turn of the event loop takes from the terminal, shown within milliseconds; the rest
// waits for the next turn, behind the operator's keys, the timers and the state polls. A
// serial line at 115200 baud brings 11.5 kB a second.
constexpr qint64 readChunkBytes = 64 * 1024;
// What the TCP socket holds unread. A device that sends faster than the screen shows is held
// back by TCP's own flow control instead of filling the memory.
constexpr qint64 tcpReadBufferBytes = 256 * 1024;

} // namespace

ConsoleWindow::ConsoleWindow(RemoteDevice *remoteDevice)
    : QDialog(nullptr)
    , m_remoteDevice(remoteDevice)
{
    setupUi(this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &ConsoleWindow::reject);
    connect(m_remoteDevice, &RemoteDevice::deviceDisconnect, this, &ConsoleWindow::reject);
    m_readMore.setSingleShot(true);
    m_readMore.setInterval(0);
    connect(&m_readMore, &QTimer::timeout, this, &ConsoleWindow::readData);

    const QIODevice *transport = m_remoteDevice->transport();
    if (!transport) {
        // Nothing to talk to: an empty screen on which typing goes nowhere, polling untouched.
        qCDebug(lcUi) << "ConsoleWindow: no device link";
        return;
    }
    if (transport == m_remoteDevice->serialPort())
        borrowSerialPort();
    else if (!openTerminalConnection())
        return;

    connect(m_socket, &QIODevice::readyRead, this, &ConsoleWindow::readData);
    connect(consoleData, &Console::getData, this, &ConsoleWindow::writeData);

    if (usesSerialPort()) {
        // The serial line has no greeting of its own: say what it is, and let a bare carriage
        // return fetch the device's prompt.
        const QString model =
            m_remoteDevice->isConnected()
                ? m_remoteDevice->deviceIdRecord().value(RecordKey::modelName).toString()
                : tr("NONE");
        // The name as a name: no control byte in it acts on the screen.
        consoleData->putData(
            (tr("%1 Console Interface").arg(DeviceText::oneLine(model)) + QLatin1Char('\r'))
                .toUtf8());
        m_socket->write("\r");
    }
}

void ConsoleWindow::borrowSerialPort()
{
    m_socket = m_remoteDevice->serialPort();
    // No state poll may write to the line while the operator uses it.
    m_remoteDevice->setPolling(false);
}

bool ConsoleWindow::openTerminalConnection()
{
    const QHostAddress address = m_remoteDevice->udpSocket()->peerAddress();
    auto *tcpSocket = new QTcpSocket(this);
    tcpSocket->setReadBufferSize(tcpReadBufferBytes);
    tcpSocket->connectToHost(address, DeviceAddress::terminalPort, QIODevice::ReadWrite);
    if (!tcpSocket->waitForConnected(terminalConnectWaitMs)) {
        qCDebug(lcUi).noquote() << "ConsoleWindow: no terminal at" << address.toString()
                                << tcpSocket->errorString();
        delete tcpSocket;
        consoleData->putData(tr("The terminal at %1 port %2 could not be reached.")
                                 .arg(address.toString())
                                 .arg(DeviceAddress::terminalPort)
                                 .toUtf8());
        return false;
    }
    connect(tcpSocket, &QTcpSocket::disconnected, this, &ConsoleWindow::reject);
    m_socket = tcpSocket;
    return true;
}

bool ConsoleWindow::usesSerialPort() const
{
    // The link may have dropped the port since; then there is no polling to give back.
    return m_socket && m_socket == m_remoteDevice->serialPort()
           && m_remoteDevice->transport() == m_socket;
}

// A TCP socket of ours is a child and closes its connection while QObject deletes the children,
// when this window is no longer a ConsoleWindow: its last disconnected() must not reach reject().
ConsoleWindow::~ConsoleWindow()
{
    if (m_socket)
        m_socket->disconnect(this);
}

void ConsoleWindow::writeData(const QByteArray &data)
{
    if (m_socket)
        m_socket->write(data);
}

void ConsoleWindow::readData()
{
    if (!m_socket)
        return;
    consoleData->putData(m_socket->read(readChunkBytes));
    // A readyRead comes only with new data: what is already here is asked for again.
    if (m_socket->bytesAvailable() > 0)
        m_readMore.start();
}

void ConsoleWindow::reject()
{
    if (usesSerialPort())
        m_remoteDevice->setPolling(true);
    QDialog::reject();
}
