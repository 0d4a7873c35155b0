#include "simanswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

SimAnswer::SimAnswer(const QJsonValue &value, bool plainText)
    : m_answer(value)
    , m_plainText(plainText)
{}

SimAnswer SimAnswer::json(const QJsonValue &value)
{
    return SimAnswer(value, false);
}

SimAnswer SimAnswer::text(const QString &text)
{
    return SimAnswer(text, true);
}

QByteArray SimAnswer::terminalBytes() const
{
    if (m_plainText)
        return m_answer.toString().toUtf8();
    if (m_answer.isObject())
        return QJsonDocument(m_answer.toObject()).toJson(QJsonDocument::Compact);
    if (m_answer.isArray())
        return QJsonDocument(m_answer.toArray()).toJson(QJsonDocument::Compact);
    // a lone value is written as JSON writes it inside an array: [250] gives 250
    const QByteArray wrapped = QJsonDocument(QJsonArray{m_answer}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

QByteArray SimAnswer::datagram(const QString &path) const
{
    const QJsonObject reply{{QStringLiteral("data"), QJsonObject{{path, m_answer}}}};
    return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}
