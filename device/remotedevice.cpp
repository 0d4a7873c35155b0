#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "serialline.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QMetaEnum>

#include <utility>

namespace {

constexpr int attemptsPerExchange = 3;

// The port's own reason, and what an operator can do about a refusal: a port that this user
// may not open asks for the dialout group; one that could be opened is held by another program
// (its lock file, or its exclusive use).
QString serialOpenError(const QSerialPort &port, const QString &portName)
{
    const QString reason = port.errorString();
    if (port.error() != QSerialPort::PermissionError)
        return reason;
    const QFileInfo node(
        portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName);
    if (node.isReadable() && node.isWritable())
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
    return m_exchange && m_exchange->transport()->isWritable();
}

bool RemoteDevice::connectDevice(const QString &deviceAddress)
{
    qCDebug(lcDevice).noquote() << "connectDevice(" + deviceAddress + ")";
    m_linkError.clear();

    const bool network = deviceAddress.contains(DeviceAddress::networkScheme);
    const bool serial = !network && deviceAddress.contains(DeviceAddress::serialScheme);
    // A new transport over an open link would leave the old one open behind it, and the
    // windows showing a device that is no longer the one talked to.
    if ((network || serial) && m_exchange)
        disconnectDevice();
    if (network)
        m_exchange = openNetwork(QString(deviceAddress).remove(DeviceAddress::networkScheme));
    else if (serial)
        m_exchange = openSerial(QString(deviceAddress).remove(DeviceAddress::serialScheme));

    if (!m_exchange) {
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
    return m_exchange != nullptr;
}

void RemoteDevice::disconnectDevice()
{
    qCDebug(lcDevice) << "disconnectDevice(void)";
    m_pollTimer.stop();
    ++m_pollSerial;
    if (TransportExchange *exchange = std::exchange(m_exchange, nullptr)) {
        // Its errors stop reaching the link here, any that closing it reports included.
        exchange->transport()->disconnect(this);
        exchange->transport()->close();
    }
    // Forgetting the last state makes the first poll of the next link signal every member.
    m_stateRecord = QJsonObject();
    m_pollsWithoutState = 0;
    m_toolIdRecord = QJsonObject();
    emit toolComChanged(0);
    m_deviceIdRecord = QJsonObject();
    emit deviceDisconnect();
}

// A transport's errors reach the link while it is the link, from its opening to the link's end:
// someone else's use of the idle port (a console probing it) ends nothing.
TransportExchange *RemoteDevice::openSerial(const QString &portName)
{
    if (m_serialPort.isOpen())
        m_serialPort.close();
    SerialLine::configure(m_serialPort, portName);
    if (!m_serialPort.open(QIODevice::ReadWrite)) {
        m_linkError = serialOpenError(m_serialPort, portName);
        return nullptr;
    }
    connect(&m_serialPort, &QSerialPort::errorOccurred, this, &RemoteDevice::errorOccurred);
    return &m_serialExchange;
}

TransportExchange *RemoteDevice::openNetwork(const QString &host)
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
    connect(&m_udpSocket, &QUdpSocket::errorOccurred, this, &RemoteDevice::socketErrorOccurred);
    return &m_datagramExchange;
}

void RemoteDevice::errorOccurred(QSerialPort::SerialPortError error)
{
    qCDebug(lcDevice).noquote() << "Serial Error: " + enumName(error);
    if (error == QSerialPort::NoError)
        return;
    // A wait that ran out is the one sign of a device gone silent on the serial line.
    m_linkError =
        error == QSerialPort::TimeoutError ? silentDeviceText() : m_serialPort.errorString();
    disconnectDevice();
}

void RemoteDevice::socketErrorOccurred(QAbstractSocket::SocketError error)
{
    // Passing conditions (a wait that runs out, nothing to read) are the exchange's business;
    // anything else (a peer whose port is closed, a socket Qt has closed) leaves no usable link
    // behind.
    if (error == QAbstractSocket::SocketTimeoutError || error == QAbstractSocket::TemporaryError)
        return;
    qCDebug(lcDevice).noquote() << "Socket Error: " + enumName(error);
    m_linkError = m_udpSocket.errorString();
    disconnectDevice();
}

QJsonValue RemoteDevice::sendCommand(const QString &path, const QString &value)
{
    if (!isLinkUsable())
        return QJsonValue(QJsonValue::Null);

    const QByteArray line = m_exchange->commandLine(path, value);
    for (int attempt = 0; attempt < attemptsPerExchange && isLinkUsable(); ++attempt) {
        const TransportExchange::Outcome outcome = m_exchange->attempt(line, path);
        if (outcome.kind == TransportExchange::Outcome::Reply)
            return outcome.value;
        if (outcome.kind == TransportExchange::Outcome::LinkBroken) {
            if (!outcome.reason.isEmpty())
                m_linkError = outcome.reason;
            break;
        }
    }
    // The one place where a failed exchange ends the link. A transport's error handler may have
    // ended it already, inside the attempt.
    if (m_exchange) {
        if (m_linkError.isEmpty())
            m_linkError = silentDeviceText();
        disconnectDevice();
    }
    return QJsonValue(QJsonValue::Null);
}
