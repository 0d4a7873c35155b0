#pragma once

#include <QByteArray>
#include <QJsonObject>

// Turns the bytes collected for one command into the reply object { key: value }.
// An empty object means the reply is not complete yet and more bytes are needed.
class ReplyFramer
{
public:
    // Serial line: echoed command line, answer text, then the prompt "\r\n>>".
    static QJsonObject parseSerial(const QByteArray &bytes);
    // Serial line: removes the first complete frame (up to and including its prompt) from the
    // front of `buffer` and returns its reply object; empty, buffer untouched, while none is.
    static QJsonObject takeSerialFrame(QByteArray *buffer);
    // Network: one datagram holding {"data": {PATH: VALUE}}.
    static QJsonObject parseNetwork(const QByteArray &bytes);

    static const QByteArray prompt;
};
