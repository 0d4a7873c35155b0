#pragma once

#include "faultinjector.h"
#include "simdevice.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

// The command line of vkt-sim.
class SimOptions
{
public:
    enum class Outcome { Run, Help, Version, Error };

    Outcome parse(const QStringList &arguments);
    QString helpText() const { return m_help; }
    QString errorText() const { return m_error; }

    bool serial = false;
    QString linkPath;
    bool udp = true;
    QHostAddress udpAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 udpPort = 1993;
    bool tcp = true;
    quint16 tcpPort = 23;
    bool tcpPortGiven = false;
    bool trace = false;
    SimDevice::Settings device;
    FaultInjector::Settings faults;

private:
    QString m_help;
    QString m_error;
};
