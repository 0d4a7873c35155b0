#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

// One setting command: a path and its value text, as they go on the wire.
struct ParameterCommand
{
    QString path;
    QString value;

    bool operator==(const ParameterCommand &other) const
    {
        return path == other.path && value == other.value;
    }
};

// Turns a parameter document into the setting commands that replay it into a device, or into a
// rejection, before anything is sent. Its keys become command paths and its values arguments, so
// a document is accepted only when every line would mean what it says and the whole fits the
// bounds of one blocking import.
class ParameterImport
{
public:
    static constexpr qint64 maxFileBytes = 1024 * 1024;
    static constexpr int maxDepth = 8;        // levels of nesting, the document itself the first
    static constexpr int maxLineBytes = 1024; // path, "=" and value

    struct Result
    {
        QVector<ParameterCommand> commands; // in sending order
        QString rejection;                  // empty when the document is accepted

        bool isAccepted() const { return rejection.isEmpty(); }
    };

    // `text`: the file as read, at most maxFileBytes + 1 bytes of it. `needsHbn`: the device is
    // an HBN unit, so the document must also carry an "hbn" record.
    static Result commandsFor(const QByteArray &text, bool needsHbn);

    // The commands for one object under `prefix`, unchecked: "metricUnits" first (the values
    // after it are read in its units) and again in its place, then every member by name, nested
    // objects as deeper paths; null members are left out, as a bare path would be a query.
    static QVector<ParameterCommand> settingsFor(const QJsonObject &object, const QString &prefix);
};
