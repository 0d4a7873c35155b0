#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "replyframer.h"

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QMetaEnum>
#include <QNetworkDatagram>

#include <utility>

namespace {

constexpr int replyWaitMs = 1000;    // one wait for more reply data
constexpr int attemptBoundMs = 3000; // whole attempt, however the reply trickles in
constexpr int replyLimitBytes = 64 * 1024;
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

    if (deviceAddress.contains(DeviceAddress::networkScheme))
        m_transport = openNetwork(QString(deviceAddress).remove(DeviceAddress::networkScheme));
    else if (deviceAddress.contains(DeviceAddress::serialScheme))
        m_transport = openSerial(QString(deviceAddress).remove(DeviceAddress::serialScheme));

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
    const QHostInfo info = QHostInfo::fromName(host);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
        return nullptr;
    m_udpSocket.connectToHost(info.addresses().constFirst(), DeviceAddress::udpPort, QIODevice::ReadWrite);
    return &m_udpSocket;
}

void RemoteDevice::errorOccurred(QSerialPort::SerialPortError error)
{
    qCDebug(lcDevice).noquote() << "Serial Error: " + enumName(error);
    if (error != QSerialPort::NoError)
        disconnectDevice();
}

void RemoteDevice::socketErrorOccurred(QAbstractSocket::SocketError error)
{
    // A reply wait that runs out is the exchange's business; anything else (a peer whose port
    // is closed, a socket Qt has closed) leaves no usable link behind.
    if (error == QAbstractSocket::SocketTimeoutError || m_transport != &m_udpSocket)
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
        const QJsonObject reply = exchangeAttempt(line);
        if (!reply.isEmpty())
            return reply.value(path);
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

// One write and the wait for its reply. An empty result is a failed attempt; errors seen by
// the transport inside a wait may have ended the link by the time a wait returns.
QJsonObject RemoteDevice::exchangeAttempt(const QByteArray &line)
{
    discardStaleInput();
    if (!isLinkUsable())
        return {};
    m_transport->write(line);

    QByteArray buffer;
    qint64 received = 0;
    const QDeadlineTimer deadline(attemptBoundMs);
    for (;;) {
        const qint64 remainingMs = deadline.remainingTime();
        if (remainingMs <= 0)
            return {};
        if (!m_transport->waitForReadyRead(int(qMin<qint64>(replyWaitMs, remainingMs)))
            || !isLinkUsable())
            return {};
        const QByteArrayList chunks = readPending();
        if (chunks.isEmpty() && m_transport == &m_udpSocket) {
            // Readable yet no datagram: Qt's peek has swallowed a socket error, on a connected
            // socket the closed port of a peer that is gone or rebooting. The attempt fails at
            // once rather than waiting out its bound; a spurious wake-up only costs a resend.
            return {};
        }
        for (const QByteArray &chunk : chunks) {
            received += chunk.size();
            // Each datagram is a whole reply; serial bytes add up to one.
            buffer = m_transport == &m_serialPort ? buffer + chunk : chunk;
            const QJsonObject reply = parseReply(buffer);
            if (!reply.isEmpty())
                return reply;
        }
        if (received > replyLimitBytes || !isLinkUsable())
            return {};
    }
}

// The exchange is one command, one reply: anything pending now answers nothing we ask next.
void RemoteDevice::discardStaleInput()
{
    if (m_transport == &m_serialPort) {
        m_serialPort.clear(QSerialPort::Input);
        m_serialPort.readAll();
    } else if (m_transport == &m_udpSocket) {
        while (m_udpSocket.hasPendingDatagrams())
            m_udpSocket.receiveDatagram();
    }
}

QByteArrayList RemoteDevice::readPending()
{
    QByteArrayList chunks;
    if (m_transport == &m_serialPort) {
        chunks.append(m_serialPort.readAll());
    } else if (m_transport == &m_udpSocket) {
        while (m_udpSocket.hasPendingDatagrams())
            chunks.append(m_udpSocket.receiveDatagram().data());
    }
    return chunks;
}

QJsonObject RemoteDevice::parseReply(const QByteArray &bytes) const
{
    return m_transport == &m_serialPort ? ReplyFramer::parseSerial(bytes)
                                        : ReplyFramer::parseNetwork(bytes);
}
