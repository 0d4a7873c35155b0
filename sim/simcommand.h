#pragma once

#include <QString>

// One command line as the device reads it: a path, and for a set command "=" and a value text.
class SimCommand
{
public:
    explicit SimCommand(const QString &line);

    QString path() const { return m_commandPath; }
    QString value() const { return m_valueText; }
    bool isSet() const { return m_hasValue; }

private:
    QString m_commandPath;
    QString m_valueText;
    bool m_hasValue = false;
};
