#pragma once

#include <QString>

class ConfigStore;

// The file that stands in for the device's flash: the configuration document as indented JSON.
class ConfigFile
{
public:
    explicit ConfigFile(const QString &path);

    QString path() const { return m_filePath; }
    bool exists() const;
    bool load(ConfigStore *store, QString *error) const;
    // Written to a temporary file and renamed, so a crash never leaves half a configuration.
    bool save(const ConfigStore &store, QString *error) const;

private:
    QString m_filePath;
};
