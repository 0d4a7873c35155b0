#pragma once

#include "datagramexchange.h"
#include "serialexchange.h"

#include <QAbstractSocket>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <QUdpSocket>

class QIODevice;

// The one link to one device: owns the serial and UDP transports, performs every exchange as a
// blocking call on the calling (GUI) thread, polls the device state and publishes each change as
// a signal.
class RemoteDevice : public QObject
{
    Q_OBJECT

public:
    explicit RemoteDevice(QObject *parent = nullptr);
    ~RemoteDevice() override;

    bool isConnected() const;

    // One command, one reply: returns the reply's value for `path`, or Null without a reply.
    QJsonValue sendCommand(const QString &path, const QString &value = QString());

    void setPolling(bool enable);

    bool hasDio() const;
    quint32 dioValue() const;
    QJsonObject vktCfgObject();
    QJsonObject hbnCfgObject();
    QJsonObject hbnModuleInfo();
    void saveConfig();
    bool saveParameters(QIODevice *file);
    // `refused`: each value the device refused, as its path and the device's answer.
    bool loadParameters(QIODevice *file, QStringList *refused = nullptr);

    // Read access for the windows; only RemoteDevice changes these.
    const QIODevice *transport() const { return m_exchange ? m_exchange->transport() : nullptr; }
    const QUdpSocket *udpSocket() const { return &m_udpSocket; }
    // The serial port is lent, for writing too, to a terminal that pauses the polling meanwhile.
    QSerialPort *serialPort() { return &m_serialPort; }
    const QJsonObject &deviceIdRecord() const { return m_deviceIdRecord; }
    const QJsonObject &toolIdRecord() const { return m_toolIdRecord; }
    const QJsonObject &stateRecord() const { return m_stateRecord; }
    // Why the last connection failed or the link last ended by itself, for a person.
    const QString &linkError() const { return m_linkError; }

signals:
    void deviceConnect();
    void deviceDisconnect();

    void metricUnitsChanged(int value);
    void actualForceChanged(double value);
    void actualPositionChanged(double value);
    void accelGravityChanged(double value);
    void commandForceChanged(double value);
    void commandPositionChanged(double value);
    void payloadWeightChanged(double value);
    void controlModeChanged(int mode);
    void posLimitPositionChanged(double value);
    void negLimitPositionChanged(double value);

    void commandLevelChanged(int value);
    void commandNegChanged(int value);
    void weighPayloadChanged(int value);
    void cpuClockChanged(int value);
    void hostComChanged(int value);
    void toolComChanged(int value);
    void posLimitChanged(int value);
    void negLimitChanged(int value);
    void okToWeighChanged(int value);
    void weightOkChanged(int value);

    void weighError(QString errorStr);

    // After the change signals of every poll that stored a state: the whole record, also
    // when nothing changed, is in stateRecord().
    void stateStored();

public slots:
    bool connectDevice(const QString &deviceAddress);
    void disconnectDevice();

    void commandForce(double value);
    void commandPosition(double value);
    void payloadWeight(double value);
    void controlMode(int mode);
    void weighPayload();
    void updateFirmware();

private slots:
    void errorOccurred(QSerialPort::SerialPortError error);
    void updateTool();
    void updateState();
    void socketErrorOccurred(QAbstractSocket::SocketError error);

private:
    TransportExchange *openSerial(const QString &portName);
    TransportExchange *openNetwork(const QString &host);

    bool isLinkUsable() const;
    void emitMemberChanges(quint64 poll, const QJsonObject &state, const QJsonObject &previous);
    void emitDioChanges(quint64 poll, const QJsonObject &state, const QJsonObject &previous);
    bool isCurrentPoll(quint64 poll) const;

    QTimer m_pollTimer;
    QUdpSocket m_udpSocket{this};
    QSerialPort m_serialPort{this};
    SerialExchange m_serialExchange{&m_serialPort};
    DatagramExchange m_datagramExchange{&m_udpSocket};
    TransportExchange *m_exchange = nullptr; // the transport in use, null without a link
    QJsonObject m_deviceIdRecord;
    QJsonObject m_toolIdRecord;
    QJsonObject m_stateRecord;
    QString m_linkError;
    int m_pollsWithoutState = 0;
    quint64 m_pollSerial = 0; // counts polls and link ends: a poll's signals stop when it moves
};
