#pragma once

#include "remotedevice.h"

#include <QCoreApplication>
#include <QJsonValue>

// The link for one run of the tool: connected once, without the dashboard's background
// polling, so that every exchange on it is one the command asked for.
class DeviceSession
{
    Q_DECLARE_TR_FUNCTIONS(DeviceSession)

public:
    // Connects and identifies the device; reports on stderr why not.
    bool open(const QString &address);

    RemoteDevice &device() { return m_device; }

    // One exchange whose failure is reported: the reply's value, or nothing when the link was
    // lost or the device refused ("Error..." texts) or answered another path.
    bool exchange(const QString &path, const QString &value, QJsonValue *reply);

    // True while the link holds; otherwise reports its loss.
    bool checkLink();

private:
    RemoteDevice m_device;
    QString m_address;
};
