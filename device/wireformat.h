#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// What a command looks like on the wire: the argument texts of numbers and JSON values, and the
// bytes of a whole command line. The link, the parameter import and the tools write alike.
class WireFormat
{
public:
    // The bytes that go out for one command: white space removed from the value, and on the
    // serial line the CR LF that ends it. An empty value sends the bare path, a query.
    static QByteArray commandLine(const QString &path, const QString &value, bool serial);
    // As printf's %g writes it: six significant digits.
    static QString formatNumber(double value);
    // Flags as 1 and 0, arrays and objects as compact JSON, null as the empty text.
    static QString formatValue(const QJsonValue &value);
};
