#pragma once

#include <QJsonDocument>
#include <QJsonValue>
#include <QString>

// The texts of a command line as typed on the tool's command line, and of a value as printed.
class CommandText
{
public:
    // A path that goes out as typed: no white space, no control character and no "=", which
    // would turn a query into a setting or one line into two.
    static bool isPath(const QString &text);

    // The argument the dashboard would send for a typed value: a JSON number, flag or string
    // is formatted as the dashboard formats JSON values (12.50 -> 12.5, true -> 1); any other
    // text goes as it is. Empty when nothing sensible would remain.
    static QString argument(const QString &text);

    // Any JSON value, scalars too, as compact JSON text.
    static QString compactJson(const QJsonValue &value);

    // A document as JSON text for a terminal: QJsonDocument escapes the C0 controls in strings,
    // but a device's DEL and C1 controls (an 8-bit CSI among them) would still reach the
    // terminal raw; they are escaped too.
    static QByteArray printableJson(const QJsonDocument &document,
                                    QJsonDocument::JsonFormat format);

private:
    static bool hasControlCharacter(const QString &text);
};
