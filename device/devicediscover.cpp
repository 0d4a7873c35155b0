#include "devicediscover.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "jsontext.h"
#include "replyframer.h"
#include "serialline.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QSerialPort>
#include <QSerialPortInfo>

DeviceDiscover::DeviceDiscover(QObject *parent)
    : QThread(parent)
{
    connect(&udpSocket, &QUdpSocket::readyRead, this, &DeviceDiscover::onDiscoverNetworkReply);
}

DeviceDiscover::~DeviceDiscover()
{
    wait();
}

void DeviceDiscover::startDiscovery()
{
    // Unbound on the first call: the send binds an ephemeral port of all interfaces, where
    // the replies come in. Qt applies socket options only to a socket that exists, so the
    // option is set once the send has made it.
    m_networkAnswers.clear();
    const QByteArray query = DevicePath::deviceId.toLatin1();
    if (udpSocket.writeDatagram(query, QHostAddress(QHostAddress::Broadcast),
                                DeviceAddress::udpPort)
        != query.size())
        qCDebug(lcDevice).noquote() << "discovery broadcast failed:" << udpSocket.errorString();
    udpSocket.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 0);
    // The answers come all at once, read only when the event loop gets to them: a few of the
    // longest datagrams from a host that is no device must not crowd out the devices' replies.
    udpSocket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);
    start();
}

void DeviceDiscover::onDiscoverNetworkReply()
{
    // A share at a time: a host that answers as fast as it can must leave the event loop the
    // rest of its time. The socket signals again for what is left.
    for (int read = 0; read < datagramsPerEvent && udpSocket.hasPendingDatagrams(); ++read) {
        const QNetworkDatagram datagram = udpSocket.receiveDatagram();
        if (!datagram.isValid())
            continue;
        bool isIpv4 = false;
        const quint32 sender = datagram.senderAddress().toIPv4Address(&isIpv4);
        const QJsonObject deviceId = parseDeviceIdReply(datagram.data());
        if (!isIpv4 || deviceId.isEmpty())
            continue;
        const QString address = DeviceAddress::networkScheme + QHostAddress(sender).toString();
        // A device answering again is listed once; a host that makes up new names stops at
        // the bound.
        const QStringList answer{deviceId.value(RecordKey::deviceName).toString(),
                                 deviceId.value(RecordKey::modelName).toString(), address};
        if (m_networkAnswers.size() >= answerLimit || m_networkAnswers.contains(answer))
            continue;
        m_networkAnswers.insert(answer);
        emit deviceDiscovered(deviceId, address);
    }
}

void DeviceDiscover::run()
{
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        qCDebug(lcDevice).noquote() << "probing" << port.portName() << port.description();
        probeSerialPort(port.portName());
    }
}

void DeviceDiscover::probeSerialPort(const QString &portName)
{
    QSerialPort port;
    SerialLine::configure(port, portName);
    if (!port.open(QIODevice::ReadWrite))
        return;

    const QDeadlineTimer deadline(probeBoundMs);
    port.write(DevicePath::deviceId.toLatin1() + "\r\n");
    QByteArray reply;
    while (reply.size() < probeLimitBytes) {
        const qint64 remainingMs = deadline.remainingTime();
        if (remainingMs <= 0
            || !port.waitForReadyRead(int(qMin<qint64>(replyQuietMs, remainingMs))))
            break;
        reply += port.read(probeLimitBytes - reply.size());
    }
    port.close();

    const QJsonObject deviceId = parseDeviceIdReply(reply);
    if (!deviceId.isEmpty())
        emit deviceDiscovered(deviceId, DeviceAddress::serialScheme + portName);
}

QJsonObject DeviceDiscover::parseDeviceIdReply(QByteArray bytes)
{
    bytes.replace(DevicePath::deviceId.toLatin1() + "\r\n", QByteArray());
    bytes.replace(ReplyFramer::prompt, QByteArray());
    const QJsonObject root = JsonText::parse(bytes).document.object(); // empty unless an object
    if (!root.contains(RecordKey::replyData))
        return root;
    return root.value(RecordKey::replyData).toObject().value(DevicePath::deviceId).toObject();
}
