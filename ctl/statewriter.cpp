#include "statewriter.h"

#include "commandtext.h"
#include "devicevocabulary.h"

#include <QJsonDocument>

namespace {

const QString timeKey = QStringLiteral("time");
const QString stateKey = QStringLiteral("state");

} // namespace

StateWriter::StateWriter(Format format)
    : m_format(format)
{}

QString StateWriter::write(const QDateTime &time, const QJsonObject &state)
{
    if (m_format == Format::JsonLines) {
        const QJsonObject line{{timeKey, timeText(time)}, {stateKey, state}};
        return QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)) + '\n';
    }
    if (!m_columns.isEmpty())
        return csvLine(time, state);
    m_columns = columnsOf(state);
    return QStringList(QStringList{timeKey} + m_columns).join(QLatin1Char(',')) + '\n'
           + csvLine(time, state);
}

QString StateWriter::csvLine(const QDateTime &time, const QJsonObject &state) const
{
    QStringList fields{timeText(time)};
    for (const QString &column : m_columns)
        fields << csvField(state.value(column));
    return fields.join(QLatin1Char(',')) + '\n';
}

QStringList StateWriter::columnsOf(const QJsonObject &state)
{
    static const QStringList known{
        RecordKey::metricUnits,      RecordKey::actualForce,  RecordKey::actualPosition,
        RecordKey::accelGravity,     RecordKey::commandForce, RecordKey::commandPosition,
        RecordKey::payloadWeight,    RecordKey::controlMode,  RecordKey::posLimitPosition,
        RecordKey::negLimitPosition, RecordKey::dioValue};
    QStringList columns;
    for (const QString &key : known) {
        if (state.contains(key))
            columns << key;
    }
    for (const QString &key : state.keys()) {
        if (!known.contains(key))
            columns << key;
    }
    return columns;
}

QString StateWriter::csvField(const QJsonValue &value)
{
    // Numbers (dioValue among them) are written as plain numbers; a missing member is empty.
    if (value.isUndefined())
        return QString();
    QString text = value.isString() ? value.toString() : CommandText::compactJson(value);
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\""))
               + QLatin1Char('"');
    return text;
}

QString StateWriter::timeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}
