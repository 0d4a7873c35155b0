#pragma once

#include <QString>

// One command line as the device reads it: a path, and for a set command "=" and a value text.
class SimCommand
{
public:
    explicit SimCommand(const QString &line);

    QString path() const { return commandPath; }
    QString value() const { return valueText; }
    bool isSet() const { return hasValue; }

private:
    QString commandPath;
    QString valueText;
    bool hasValue = false;
};
