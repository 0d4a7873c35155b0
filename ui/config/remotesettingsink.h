#pragma once

#include "settingsink.h"

class RemoteDevice;

// The configuration dialog's commands to the unit behind a device link.
class RemoteSettingSink : public SettingSink
{
public:
    explicit RemoteSettingSink(RemoteDevice *device);

    void sendSetting(const QString &path, const QString &value) override;
    void saveSettings() override;
    bool isConnected() const override;
    void updateFirmware() override;

private:
    RemoteDevice *m_device = nullptr;
};
