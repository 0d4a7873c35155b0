#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "replyframer.h"

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QMetaEnum>
#include <QHostAddress>

#include <utility>

namespace {

constexpr int replyWaitMs = 1000;    // one wait for more reply data
constexpr int attemptBoundMs = 3000; // whole attempt, however the reply trickles in
constexpr int attemptsPerExchange = 3;

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

    const bool network = deviceAddress.contains(DeviceAddress::networkScheme);
    if (network || deviceAddress.contains(DeviceAddress::serialScheme)) {
        // A new address replaces the link: the old one must not live on behind a failed open.
        if (m_transport)
            disconnectDevice();
        m_transport = network
                ? openNetwork(QString(deviceAddress).remove(DeviceAddress::networkScheme))
                : openSerial(QString(deviceAddress).remove(DeviceAddress::serialScheme));
    }

    if (!m_transport)
        return false;

    m_deviceIdRecord = sendCommand(DevicePath::deviceId).toObject();
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
    ++m_pollEpoch;
    m_missedStatePolls = 0;
    // Cleared before closing: closing may report an error that lands here again.
    if (QIODevice *transport = std::exchange(m_transport, nullptr))
        transport->close();
    // Forgetting the last state makes the first poll of the next link signal every member.
    m_stateRecord = QJsonObject();
    m_toolIdRecord = QJsonObject();
    emit toolComChanged(0);
    m_deviceIdRecord = QJsonObject();
    emit deviceDisconnect();
}

QIODevice *RemoteDevice::openSerial(const QString &portName)
{
    if (m_serialPort.isOpen())
        m_serialPort.close();
    m_serialPort.setPortName(portName);
    m_serialPort.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_serialPort.setDataBits(QSerialPort::Data8);
    m_serialPort.setParity(QSerialPort::NoParity);
    m_serialPort.setStopBits(QSerialPort::OneStop);
    m_serialPort.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_serialPort.open(QIODevice::ReadWrite))
        return nullptr;
    // Unique: the port is reopened on every serial connection.
    connect(&m_serialPort, &QSerialPort::errorOccurred, this, &RemoteDevice::errorOccurred,
            Qt::UniqueConnection);
    return &m_serialPort;
}

QIODevice *RemoteDevice::openNetwork(const QString &host)
{
    // An address text is taken as it is: a lookup would ask the name server about it first.
    QHostAddress address(host);
    if (address.isNull()) {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            return nullptr;
        address = info.addresses().constFirst();
    }
    m_udpSocket.connectToHost(address, DeviceAddress::udpPort, QIODevice::ReadWrite);
    return &m_udpSocket;
}

void RemoteDevice::errorOccurred(QSerialPort::SerialPortError error)
{
    qCDebug(lcDevice).noquote() << "Serial Error: " + enumName(error);
    // A port that failed to open, or was left behind, has no say over another link.
    if (error != QSerialPort::NoError && m_transport == &m_serialPort)
        disconnectDevice();
}

void RemoteDevice::socketErrorOccurred(QAbstractSocket::SocketError error)
{
    // A reply wait that runs out, or a read that finds no datagram, is the exchange's
    // business; anything else (a peer whose port is closed, a socket Qt has closed) leaves no
    // usable link behind.
    if (error == QAbstractSocket::SocketTimeoutError || error == QAbstractSocket::TemporaryError
        || m_transport != &m_udpSocket)
        return;
    qCDebug(lcDevice).noquote() << "Socket Error: " + enumName(error);
    disconnectDevice();
}

QJsonValue RemoteDevice::sendCommand(const QString &path, const QString &value)
{
    if (!isLinkUsable())
        return QJsonValue(QJsonValue::Null);

    const QByteArray line = commandLine(path, value);
    for (int attempt = 0; attempt < attemptsPerExchange; ++attempt) {
        if (!isLinkUsable())
            return QJsonValue(QJsonValue::Null);
        if (const std::optional<QJsonValue> answer = exchangeAttempt(line, path))
            return *answer;
    }
    if (m_transport)
        disconnectDevice();
    return QJsonValue(QJsonValue::Null);
}

QByteArray RemoteDevice::commandLine(const QString &path, const QString &value) const
{
    QString line = path;
    if (!value.isEmpty()) {
        // All white space goes: ends trimmed, inner runs removed.
        line += QLatin1Char('=') + value.simplified().remove(QLatin1Char(' '));
    }
    if (m_transport == &m_serialPort)
        line += QLatin1String("\r\n");
    return line.toUtf8();
}

// One write and the wait for the reply that names `path`; nothing when the attempt failed.
// Replies naming another path (late, repeated or unasked) are dropped and the wait goes on
// within the same bounds. Errors seen by the transport inside a wait may have ended the link
// by the time a wait returns.
std::optional<QJsonValue> RemoteDevice::exchangeAttempt(const QByteArray &line,
                                                        const QString &path)
{
    discardStaleInput();
    if (!isLinkUsable())
        return std::nullopt;
    m_transport->write(line);

    QByteArray buffer;
    qint64 received = 0;
    const QDeadlineTimer deadline(attemptBoundMs);
    while (received <= replyLimitBytes) {
        const qint64 remainingMs = deadline.remainingTime();
        if (remainingMs <= 0)
            return std::nullopt;
        if (!m_transport->waitForReadyRead(int(qMin<qint64>(replyWaitMs, remainingMs)))
            || !isLinkUsable())
            return std::nullopt;
        std::optional<QJsonValue> answer;
        if (m_transport == &m_serialPort) {
            const QByteArray chunk = m_serialPort.readAll();
            received += chunk.size();
            buffer += chunk;
            answer = takeSerialAnswer(&buffer, path);
        } else {
            const qint64 before = received;
            answer = readNetworkAnswer(path, &received);
            if (!answer && received == before) {
                // Readable yet no datagram: a socket error, on a connected socket the closed
                // port of a peer that is gone or rebooting. The attempt fails at once rather
                // than waiting out its bound; a spurious wake-up only costs a resend.
                return std::nullopt;
            }
        }
        if (answer || !isLinkUsable())
            return answer;
    }
    return std::nullopt;
}

// The exchange is one command, one reply: anything pending now answers nothing we ask next.
void RemoteDevice::discardStaleInput()
{
    if (m_transport == &m_serialPort) {
        m_serialPort.clear(QSerialPort::Input);
        m_serialPort.readAll();
    } else if (m_transport == &m_udpSocket) {
        while (m_udpSocket.readDatagram(m_datagram.data(), m_datagram.size()) >= 0) {
        }
    }
}

// Takes every complete frame (up to and including its prompt) out of `buffer`; the first one
// that echoes `path` answers, the others are dropped. An incomplete rest stays for more bytes.
std::optional<QJsonValue> RemoteDevice::takeSerialAnswer(QByteArray *buffer, const QString &path)
{
    for (;;) {
        const int promptAt = buffer->indexOf(ReplyFramer::prompt);
        if (promptAt < 0)
            return std::nullopt;
        const QByteArray frame = buffer->left(promptAt + ReplyFramer::prompt.size());
        buffer->remove(0, frame.size());
        const QJsonObject reply = ReplyFramer::parseSerial(frame);
        if (reply.contains(path))
            return reply.value(path);
        qCDebug(lcDevice) << "Dropped a frame that does not answer" << path << frame;
    }
}

// Reads the datagrams that are there, each in one call, until one answers `path`. `received`
// grows by every datagram read, an empty one included.
std::optional<QJsonValue> RemoteDevice::readNetworkAnswer(const QString &path, qint64 *received)
{
    for (;;) {
        const qint64 size = m_udpSocket.readDatagram(m_datagram.data(), m_datagram.size());
        if (size < 0)
            return std::nullopt;
        *received += qMax<qint64>(size, 1);
        const QJsonObject reply =
                ReplyFramer::parseNetwork(QByteArray::fromRawData(m_datagram.constData(), int(size)));
        if (reply.contains(path))
            return reply.value(path);
        if (!reply.isEmpty())
            qCDebug(lcDevice) << "Dropped a datagram that does not answer" << path << reply.keys();
    }
}
