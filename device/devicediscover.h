#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QThread>
#include <QUdpSocket>

// Finds the devices this computer can reach: one UDP broadcast of the identity query, answered
// on the GUI thread, and a probe of every serial port, one after another in the worker thread.
// Each answer with a usable identity is reported through deviceDiscovered(); of the network's
// answers, one of each name, type and address per search and no more than answerLimit.
class DeviceDiscover : public QThread
{
    Q_OBJECT

public:
    static constexpr int replyQuietMs = 100;  // serial silence that ends a reply
    static constexpr int probeBoundMs = 2000; // one port, however long it keeps talking
    static constexpr int probeLimitBytes = 64 * 1024;
    static constexpr int receiveBufferBytes = 1024 * 1024; // asked of the system, which may cap it
    static constexpr int datagramsPerEvent = 32;
    static constexpr int answerLimit = 256; // different network answers reported per search

    explicit DeviceDiscover(QObject *parent = nullptr);
    // Waits for the serial probe; each port costs at most probeBoundMs.
    ~DeviceDiscover() override;

    // Broadcasts the query and starts the serial probe, unless it still runs from an earlier
    // call: then only the broadcast goes out again.
    void startDiscovery();

    // Probes one port by name (pseudo-terminals are not among the listed ports). Runs in the
    // calling thread and blocks for up to probeBoundMs.
    void probeSerialPort(const QString &portName);

    // The identity in a reply to "/deviceId", either the root object itself or the one under
    // "data" and "/deviceId"; empty when the reply holds none.
    static QJsonObject parseDeviceIdReply(QByteArray bytes);

signals:
    void deviceDiscovered(QJsonObject deviceId, QString deviceAddress);

public slots:
    void onDiscoverNetworkReply();

protected:
    void run() override;

private:
    // Used on the GUI thread only; the worker never touches it.
    QUdpSocket udpSocket{this};
    // Name, type and address of each network answer reported since the last broadcast.
    QSet<QStringList> m_networkAnswers;
};
