#pragma once

#include "stateevent.h"
#include "statesample.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QStringList>

#include <limits>

class RemoteDevice;

// What the lines above a log's column header name.
struct StateLogHeader
{
    // The connected device's names and its tool's, as its identity records give them.
    static StateLogHeader of(const RemoteDevice &device, const QString &program,
                             const QDateTime &start, double metricUnits);

    QString device;  // the device's name
    QString model;   // the device's model
    QString tool;    // the tool's model; empty without one
    QString program; // name and version of the program that wrote the log
    QDateTime start; // the wall-clock time of elapsed 0
    double metricUnits = std::numeric_limits<double>::quiet_NaN();
};

// The one CSV format of a state log, written by the dashboard's recorder and exports and by
// vkt-ctl: "#" lines naming the log, a column header, then one row per sample or event, every
// row with the same fields. Fields are quoted as RFC 4180 has it; text from a device has its
// control characters escaped and cannot start a spreadsheet formula.
class StateCsvFormat
{
public:
    static constexpr int extraColumnLimit = 16;
    static constexpr int keyLengthLimit = 64;
    static constexpr int fieldLengthLimit = 256;

    // The known members, then the other members of `firstRecord` (bounded) as extra columns.
    // Elapsed times are written from `originMs` on.
    explicit StateCsvFormat(const QJsonObject &firstRecord = {}, qint64 originMs = 0);

    QStringList columns() const;
    QByteArray header(const StateLogHeader &header) const;
    // `record` fills the extra columns; without it they stay empty.
    QByteArray sampleRow(const StateSample &sample, const QJsonObject &record = {}) const;
    QByteArray eventRow(const StateEvent &event) const;

    // One field holding `text`: control characters escaped, bounded, a leading formula
    // character neutralised, quoted where it has to be.
    static QString textField(const QString &text);
    static QString numberField(double value);

private:
    QByteArray row(qint64 elapsedMs, const QString &event, const QString &values) const;
    static QString valueField(const QJsonValue &value);

    QStringList m_extraKeys;
    qint64 m_originMs;
};
