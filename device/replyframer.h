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
    // Network: one datagram holding {"data": {PATH: VALUE}}.
    static QJsonObject parseNetwork(const QByteArray &bytes);

    static const QByteArray prompt;
};
