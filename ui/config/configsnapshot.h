#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class RemoteDevice;

// What the configuration dialog reads from the unit, read once when it opens. The values are
// kept as the unit answered them; the dialog bounds and checks them as it loads.
struct ConfigSnapshot
{
    bool connected = false;
    bool serialLink = false; // a firmware update needs the serial line
    bool hasDio = false;
    QJsonObject identity;
    QJsonObject toolIdentity; // empty: no tool answers
    QJsonObject vktRecord;
    QJsonValue maxForce;    // in the unit system of vktRecord
    QJsonValue maxPosition; // in the unit system of the state record
    bool stateMetric = false;
    QJsonObject hbnRecord;
    QJsonObject moduleInfo;
    quint32 dioValue = 0;
    QString macAddress;

    // One exchange per value, in the order the unit has always been asked.
    static ConfigSnapshot fetch(RemoteDevice &device);
};
