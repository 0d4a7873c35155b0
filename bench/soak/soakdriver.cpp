#include "soakdriver.h"

#include "mainwindow.h"

#include <QDateTime>
#include <QTextStream>

SoakDriver::SoakDriver(MainWindow &window, const QString &address, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_address(address)
{
    connect(&m_window.remoteDevice, &RemoteDevice::deviceConnect, this, &SoakDriver::onConnect);
    connect(&m_window.remoteDevice, &RemoteDevice::deviceDisconnect, this,
            &SoakDriver::onDisconnect);
    m_reconnectTimer.setInterval(reconnectPeriodMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &SoakDriver::reconnectIfDown);
    m_reportTimer.setInterval(reportPeriodMs);
    connect(&m_reportTimer, &QTimer::timeout, this, &SoakDriver::report);
}

void SoakDriver::start()
{
    m_reconnectTimer.start();
    m_reportTimer.start();
    reconnectIfDown();
}

QString SoakDriver::counts() const
{
    return QStringLiteral("connects %1 disconnects %2 attempts %3")
        .arg(m_connects)
        .arg(m_disconnects)
        .arg(m_attempts);
}

void SoakDriver::reconnectIfDown()
{
    if (m_window.remoteDevice.isConnected())
        return;
    ++m_attempts;
    m_window.remoteDevice.connectDevice(m_address);
}

void SoakDriver::onConnect()
{
    m_connected = true;
    ++m_connects;
}

// A failed attempt ends in a disconnect too; only the end of a working link counts.
void SoakDriver::onDisconnect()
{
    if (m_connected)
        ++m_disconnects;
    m_connected = false;
}

void SoakDriver::report()
{
    QTextStream(stdout) << QDateTime::currentDateTimeUtc().toString(Qt::ISODate) << ' ' << counts()
                        << Qt::endl;
}
