#include "simanswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

SimAnswer::SimAnswer(const QJsonValue &value, bool plainText)
    : answer(value)
    , plainText(plainText)
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
    if (plainText)
        return answer.toString().toUtf8();
    if (answer.isObject())
        return QJsonDocument(answer.toObject()).toJson(QJsonDocument::Compact);
    if (answer.isArray())
        return QJsonDocument(answer.toArray()).toJson(QJsonDocument::Compact);
    // a lone value is written as JSON writes it inside an array: [250] gives 250
    const QByteArray wrapped = QJsonDocument(QJsonArray{answer}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

QByteArray SimAnswer::datagram(const QString &path) const
{
    const QJsonObject reply{{QStringLiteral("data"), QJsonObject{{path, answer}}}};
    return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}
