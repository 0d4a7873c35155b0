#include "remotesettingsink.h"

#include "remotedevice.h"

RemoteSettingSink::RemoteSettingSink(RemoteDevice *device)
    : m_device(device)
{}

// The reply to a set command is not examined: a refused value changes nothing on the unit.
void RemoteSettingSink::sendSetting(const QString &path, const QString &value)
{
    m_device->sendCommand(path, value);
}

void RemoteSettingSink::saveSettings()
{
    m_device->saveConfig();
}

bool RemoteSettingSink::isConnected() const
{
    return m_device->isConnected();
}

void RemoteSettingSink::updateFirmware()
{
    m_device->updateFirmware();
}
