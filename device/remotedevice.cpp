#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "replyframer.h"
#include "serialline.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QMetaEnum>

#include <cerrno>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int replyWaitMs = 1000;    // one wait for more reply data
constexpr int attemptBoundMs = 3000; // whole attempt, however the reply trickles in
constexpr int replyLimitBytes = 64 * 1024;
constexpr int attemptsPerExchange = 3;
constexpr int staleDatagramLimit = 64; // far more than late and duplicated replies can leave

// One wait for more reply data: up to replyWaitMs, never past the attempt's deadline.
int nextWaitMs(const QDeadlineTimer &deadline)
{
    return int(qMin<qint64>(replyWaitMs, deadline.remainingTime()));
}

// Waits up to `ms` for input (or an error) on `descriptor`; false when it stays quiet.
bool waitUntilReadable(qintptr descriptor, int ms)
{
    const QDeadlineTimer deadline(ms);
    pollfd entry{int(descriptor), POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}

// The port's own reason, and what an operator can do about a refusal: a port that this user
// may not open asks for the dialout group; one that could be opened is held by another program
// (its lock file, or its exclusive use).
QString serialOpenError(const QSerialPort &port, const QString &portName)
{
    QString reason = port.errorString();
    if (port.error() != QSerialPort::PermissionError)
        return reason;
    const QString path =
        portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0)
        return reason + RemoteDevice::tr(" (the port is in use by another program)");
    return reason
           + RemoteDevice::tr(" (serial ports belong to the dialout group: sudo adduser $USER "
                              "dialout, then log in again)");
}

QString silentDeviceText()
{
    return RemoteDevice::tr("the device stopped answering");
}

template <typename Enum>
QString enumName(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(int(value)));
}

} // namespace

RemoteDevice::RemoteDevice(QObject *parent)
    : QObject(parent)
{
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &RemoteDevice::updateState);
    connect(&m_udpSocket, &QUdpSocket::errorOccurred, this, &RemoteDevice::socketErrorOccurred);
}

RemoteDevice::~RemoteDevice()
{
    disconnectDevice();
}

bool RemoteDevice::isConnected() const
{
    return isLinkUsable() && !m_deviceIdRecord.isEmpty();
}

bool RemoteDevice::isLinkUsable() const
{
    return m_transport && m_transport->isWritable();
}

bool RemoteDevice::connectDevice(const QString &deviceAddress)
{
    qCDebug(lcDevice).noquote() << "connectDevice(" + deviceAddress + ")";
    m_linkError.clear();

    const bool network = deviceAddress.contains(DeviceAddress::networkScheme);
    const bool serial = !network && deviceAddress.contains(DeviceAddress::serialScheme);
    // A new transport over an open link would leave the old one open behind it, and the
    // windows showing a device that is no longer the one talked to.
    if ((network || serial) && m_transport)
        disconnectDevice();
    if (network)
        m_transport = openNetwork(QString(deviceAddress).remove(DeviceAddress::networkScheme));
    else if (serial)
        m_transport = openSerial(QString(deviceAddress).remove(DeviceAddress::serialScheme));

    if (!m_transport) {
        if (!network && !serial)
            m_linkError = tr("not a device address (usb://PORT or network://HOST)");
        return false;
    }

    m_deviceIdRecord = sendCommand(DevicePath::deviceId).toObject();
    if (isLinkUsable() && !isConnected())
        m_linkError = tr("the device did not identify itself");
    if (isConnected()) {
        emit deviceConnect();
        updateTool();
        if (isConnected())
            updateState();
    }
    return m_transport != nullptr;
}

void RemoteDevice::disconnectDevice()
{
    qCDebug(lcDevice) << "disconnectDevice(void)";
    m_pollTimer.stop();
    ++m_pollSerial;
    // Cleared before closing: closing may report an error that lands here again.
    if (QIODevice *transport = std::exchange(m_transport, nullptr))
        transport->close();
    // Forgetting the last state makes the first poll of the next link signal every member.
    m_stateRecord = QJsonObject();
    m_pollsWithoutState = 0;
    m_toolIdRecord = QJsonObject();
    emit toolComChanged(0);
    m_deviceIdRecord = QJsonObject();
    emit deviceDisconnect();
}

QIODevice *RemoteDevice::openSerial(const QString &portName)
{
    if (m_serialPort.isOpen())
        m_serialPort.close();
    SerialLine::configure(m_serialPort, portName);
    if (!m_serialPort.open(QIODevice::ReadWrite)) {
        m_linkError = serialOpenError(m_serialPort, portName);
        return nullptr;
    }
    // Unique: the port is reopened on every serial connection.
    connect(&m_serialPort, &QSerialPort::errorOccurred, this, &RemoteDevice::errorOccurred,
            Qt::UniqueConnection);
    return &m_serialPort;
}

QIODevice *RemoteDevice::openNetwork(const QString &host)
{
    // An address literal is used as it stands: a lookup would ask the name server for its
    // name first, and one that does not answer holds the GUI thread for seconds.
    QHostAddress address;
    if (!address.setAddress(host)) {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            m_linkError = info.error() != QHostInfo::NoError ? info.errorString()
                                                             : tr("the name has no address");
            return nullptr;
        }
        address = info.addresses().constFirst();
    }
    m_udpSocket.connectToHost(address, DeviceAddress::udpPort, QIODevice::ReadWrite);
    return &m_udpSocket;
}

void RemoteDevice::errorOccurred(QSerialPort::SerialPortError error)
{
    qCDebug(lcDevice).noquote() << "Serial Error: " + enumName(error);
    // A port that fails to open while another link is in use is no reason to end that link.
    if (error != QSerialPort::NoError && m_transport == &m_serialPort) {
        // A wait that ran out is the one sign of a device gone silent on the serial line.
        m_linkError =
            error == QSerialPort::TimeoutError ? silentDeviceText() : m_serialPort.errorString();
        disconnectDevice();
    }
}

void RemoteDevice::socketErrorOccurred(QAbstractSocket::SocketError error)
{
    // Passing conditions (a wait that runs out, nothing to read) are the exchange's business;
    // anything else (a peer whose port is closed, a socket Qt has closed) leaves no usable link
    // behind.
    if (error == QAbstractSocket::SocketTimeoutError || error == QAbstractSocket::TemporaryError
        || m_transport != &m_udpSocket)
        return;
    qCDebug(lcDevice).noquote() << "Socket Error: " + enumName(error);
    m_linkError = m_udpSocket.errorString();
    disconnectDevice();
}

QJsonValue RemoteDevice::sendCommand(const QString &path, const QString &value)
{
    if (!isLinkUsable())
        return QJsonValue(QJsonValue::Null);

    const QByteArray line = commandLine(path, value, m_transport == &m_serialPort);
    for (int attempt = 0; attempt < attemptsPerExchange; ++attempt) {
        if (!isLinkUsable())
            return QJsonValue(QJsonValue::Null);
        if (const std::optional<QJsonValue> reply = exchangeAttempt(line, path))
            return *reply;
    }
    if (m_transport) {
        m_linkError = silentDeviceText();
        disconnectDevice();
    }
    return QJsonValue(QJsonValue::Null);
}

QByteArray RemoteDevice::commandLine(const QString &path, const QString &value, bool serial)
{
    QString line = path;
    if (!value.isEmpty()) {
        // All white space goes: ends trimmed, inner runs removed.
        line += QLatin1Char('=') + value.simplified().remove(QLatin1Char(' '));
    }
    if (serial)
        line += QLatin1String("\r\n");
    return line.toUtf8();
}

// One write and the wait for the reply that names `path`. No value is a failed attempt; errors
// seen by the transport inside a wait may have ended the link by the time a wait returns.
std::optional<QJsonValue> RemoteDevice::exchangeAttempt(const QByteArray &line, const QString &path)
{
    discardStaleInput();
    if (!isLinkUsable())
        return std::nullopt;
    // A datagram too long to send fails here, and would otherwise pass for a silent device.
    if (m_transport->write(line) != line.size()) {
        m_linkError = m_transport->errorString();
        disconnectDevice();
        return std::nullopt;
    }
    // Written now rather than from inside the first wait, which then polls for input only.
    if (m_transport == &m_serialPort)
        m_serialPort.flush();
    if (!isLinkUsable()) // a failed write has ended the link
        return std::nullopt;
    const QDeadlineTimer deadline(attemptBoundMs);
    return m_transport == &m_serialPort ? takeSerialReply(path, deadline)
                                        : takeDatagramReply(path, deadline);
}

// Frames that name another command (a late reply, a boot banner, an extra prompt) are dropped
// with their prompt; what follows them stays for the next frame.
std::optional<QJsonValue> RemoteDevice::takeSerialReply(const QString &path,
                                                        const QDeadlineTimer &deadline)
{
    QByteArray buffer;
    qint64 received = 0;
    for (;;) {
        const int waitMs = nextWaitMs(deadline);
        if (waitMs <= 0 || !m_serialPort.waitForReadyRead(waitMs) || !isLinkUsable())
            return std::nullopt;
        // What has come, and no more: readAll() first sizes a buffer for tens of kilobytes.
        const QByteArray bytes = m_serialPort.read(m_serialPort.bytesAvailable());
        received += bytes.size();
        buffer.append(bytes);
        for (QJsonObject frame = ReplyFramer::takeSerialFrame(&buffer); !frame.isEmpty();
             frame = ReplyFramer::takeSerialFrame(&buffer)) {
            if (frame.contains(path))
                return frame.value(path);
            qCDebug(lcDevice) << "Reply for another command dropped:" << frame.keys();
        }
        if (received > replyLimitBytes)
            return std::nullopt;
    }
}

// Each datagram is a whole reply, read in one call; one naming another path (late or
// duplicated) is dropped. A reply that is already there is taken without a wait.
std::optional<QJsonValue> RemoteDevice::takeDatagramReply(const QString &path,
                                                          const QDeadlineTimer &deadline)
{
    qint64 received = 0;
    for (;;) {
        const qint64 size = receiveDatagram();
        if (size < 0) {
            const int waitMs = nextWaitMs(deadline);
            if (!isLinkUsable() || waitMs <= 0
                || !waitUntilReadable(m_udpSocket.socketDescriptor(), waitMs))
                return std::nullopt;
            continue;
        }
        received += size;
        const QJsonObject reply =
            ReplyFramer::parseNetwork(QByteArray::fromRawData(m_datagram.constData(), int(size)));
        if (reply.contains(path))
            return reply.value(path);
        if (!reply.isEmpty())
            qCDebug(lcDevice) << "Reply for another command dropped:" << reply.keys();
        // Datagrams that keep coming, empty ones too, end the attempt at its bounds.
        if (received > replyLimitBytes || deadline.hasExpired())
            return std::nullopt;
    }
}

// One datagram, read whole into m_datagram without waiting: its size, or -1 when none is there.
// The socket is read directly: through QUdpSocket every empty read is reported as an error
// signal, and the drain before each command meets one every time. A receive error (the
// device's port closed) ends the link.
qint64 RemoteDevice::receiveDatagram()
{
    for (;;) {
        const ssize_t size = ::recv(int(m_udpSocket.socketDescriptor()), m_datagram.data(),
                                    size_t(m_datagram.size()), MSG_DONTWAIT);
        if (size >= 0)
            return size;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EAGAIN && error != EWOULDBLOCK) {
            m_linkError = qt_error_string(error);
            qCDebug(lcDevice).noquote() << "Socket Error: " + m_linkError;
            disconnectDevice();
        }
        return -1;
    }
}

// The exchange is one command, one reply: anything pending now answers nothing we ask next.
void RemoteDevice::discardStaleInput()
{
    if (m_transport == &m_serialPort) {
        m_serialPort.clear(QSerialPort::Input); // the port's own buffer and the line's
    } else if (m_transport == &m_udpSocket) {
        // Bounded: a peer that never stops sending must not hold the thread here.
        for (int i = 0; i < staleDatagramLimit && receiveDatagram() >= 0; ++i) {
        }
    }
}
