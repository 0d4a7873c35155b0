#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// What the device answers to one command: a JSON value, or a plain text (errors and notices),
// which a terminal shows as it is and the network carries as a JSON string.
class SimAnswer
{
public:
    static SimAnswer json(const QJsonValue &value);
    static SimAnswer text(const QString &text);

    QJsonValue value() const { return m_answer; }
    bool isText() const { return m_plainText; }
    // The answer as a terminal writes it between the echo and the prompt.
    QByteArray terminalBytes() const;
    // The network reply: {"data": {"<path>": <answer>}}.
    QByteArray datagram(const QString &path) const;

private:
    SimAnswer(const QJsonValue &value, bool plainText);

    QJsonValue m_answer;
    bool m_plainText = false;
};
