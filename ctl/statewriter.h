#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>

// Turns each polled state record into one line of a log: JSON lines, or CSV whose header row
// is taken from the first record (the known members in the dashboard's order, then any others).
class StateWriter
{
public:
    enum class Format { JsonLines, Csv };

    explicit StateWriter(Format format);

    // The text for one record, ending in a line end; the first CSV record brings the header.
    QString write(const QDateTime &time, const QJsonObject &state);

private:
    QString csvLine(const QDateTime &time, const QJsonObject &state) const;
    static QStringList columnsOf(const QJsonObject &state);
    static QString csvField(const QJsonValue &value);
    static QString timeText(const QDateTime &time);

    Format m_format;
    QStringList m_columns; // empty until the first CSV record
};
