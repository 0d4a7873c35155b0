#include "commandtext.h"

#include "wireformat.h"

#include <QJsonArray>
#include <QJsonDocument>

bool CommandText::isPath(const QString &text)
{
    if (text.isEmpty() || text.contains(QLatin1Char('=')) || hasControlCharacter(text))
        return false;
    for (const QChar c : text) {
        if (c.isSpace())
            return false;
    }
    return true;
}

QString CommandText::argument(const QString &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson('[' + text.toUtf8() + ']', &error);
    const QJsonArray array = document.array();
    const QString argument = error.error == QJsonParseError::NoError && array.size() == 1
                                 ? WireFormat::formatValue(array.first())
                                 : text;
    // Looked for in what would go out, so that a JSON escape ("\u0003") cannot bring one in.
    // Tabs and line ends are white space, which the link removes; other control characters
    // would reach the device as they are.
    if (hasControlCharacter(QString(argument)
                                .remove(QLatin1Char('\t'))
                                .remove(QLatin1Char('\n'))
                                .remove(QLatin1Char('\r'))))
        return QString();
    return argument.simplified().isEmpty() ? QString() : argument;
}

QString CommandText::compactJson(const QJsonValue &value)
{
    // A document holds only arrays and objects: wrap the value and take the brackets off.
    const QByteArray text = printableJson(QJsonDocument(QJsonArray{value}), QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

QByteArray CommandText::printableJson(const QJsonDocument &document,
                                      QJsonDocument::JsonFormat format)
{
    // Outside strings JSON text is ASCII without controls, so these can only stand in a string,
    // where an escape means the same character.
    QString text = QString::fromUtf8(document.toJson(format));
    QString printable;
    printable.reserve(text.size());
    for (const QChar c : qAsConst(text)) {
        if (c.unicode() >= 0x7F && c.unicode() <= 0x9F)
            printable += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            printable += c;
    }
    return printable.toUtf8();
}

bool CommandText::hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}
