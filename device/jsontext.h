#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

// JSON text from a device or a file, parsed as QJsonDocument parses it, except that an object
// that names a key twice is refused: Qt 5's parser loses the memory of the first value when that
// value is an array or an object, so a device that repeated a key in every reply would grow the
// program without bound. A device or a file of ours never names a key twice.
class JsonText
{
public:
    struct Parsed
    {
        QJsonDocument document;
        QString error;  // empty when the text was accepted
        int offset = 0; // where the text was found wanting
        bool isValid() const { return error.isEmpty(); }
    };

    static Parsed parse(const QByteArray &text);

    // Where some object names a key the second time, or -1 when none does. Linear in the text,
    // and safe on any bytes: text that is no JSON at all is left to the parser to refuse.
    static int repeatedKeyOffset(const QByteArray &text);
};
