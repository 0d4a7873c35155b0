#pragma once

#include <QString>

// Where the configuration dialog's commands go once it has loaded: the unit behind its link, or
// anything that stands in for it.
class SettingSink
{
public:
    virtual ~SettingSink() = default;

    virtual void sendSetting(const QString &path, const QString &value) = 0;
    virtual void saveSettings() = 0;
    virtual bool isConnected() const = 0;
    virtual void updateFirmware() = 0;
};
