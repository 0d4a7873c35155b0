#pragma once

#include "unitsystem.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The groups of settings the device keeps: the tool's record, the network port, the fieldbus.
enum class ConfigGroup { Vkt, Net, Anybus };

// Outcome of a set command: the new value as reported, or why nothing changed.
struct SetResult
{
    bool ok = false;
    QJsonValue value;
    QString error;
};

// The device's persistent settings. Numbers that carry a unit are held metric and converted to
// the unit system of "metricUnits" whenever they are read or written from outside.
class ConfigStore
{
public:
    ConfigStore(const QString &deviceName, double maxPositionMm, bool standalone);

    bool isStandalone() const { return m_standalone; }
    UnitSystem units() const;

    bool hasKey(ConfigGroup group, const QString &key) const;
    QJsonValue value(ConfigGroup group, const QString &key) const;
    QJsonObject group(ConfigGroup group) const;
    SetResult setText(ConfigGroup group, const QString &key, const QString &text);
    SetResult setValue(ConfigGroup group, const QString &key, const QJsonValue &value);

    // "/vkt/cfgObject" (with its own "net" on a VKT that stands alone) and "/hbn/cfgObject".
    QJsonObject vktRecord() const;
    QJsonObject hbnRecord() const;

    // Direct access for the device model, always metric.
    double metricNumber(const QString &vktKey) const;
    void setMetricNumber(const QString &vktKey, double metricValue);
    bool flag(const QString &vktKey) const;

    QString deviceName() const { return m_name; }
    bool setDeviceName(const QString &deviceName);

    // The whole configuration as one document, and back; records are applied with their
    // "metricUnits" first so the other values are read in the unit system they were written in.
    QJsonObject document() const;
    bool applyDocument(const QJsonObject &document, QString *error);

private:
    bool applyRecord(ConfigGroup group, const QJsonObject &record, QString *error);
    QJsonObject &storage(ConfigGroup group);
    const QJsonObject &storage(ConfigGroup group) const;

    bool m_standalone = false;
    QString m_name;
    QJsonObject m_vkt;
    QJsonObject net;
    QJsonObject anybus;
};
