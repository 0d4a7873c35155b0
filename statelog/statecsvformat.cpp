#include "statecsvformat.h"

#include "devicevocabulary.h"
#include "remotedevice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

const QString lineEnd = QStringLiteral("\r\n");
const QChar separator = QLatin1Char(',');

// "\x1B" for ESC: a device's text never moves a terminal's cursor or splits a row.
QString escapedControls(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

QString unitsText(double metricUnits)
{
    if (std::isnan(metricUnits))
        return QStringLiteral("unknown");
    return metricUnits != 0 ? QStringLiteral("metric (N, mm, G, kg)")
                            : QStringLiteral("English (Lb, in, G, lb)");
}

} // namespace

StateLogHeader StateLogHeader::of(const RemoteDevice &device, const QString &program,
                                  const QDateTime &start, double metricUnits)
{
    StateLogHeader header;
    header.device = device.deviceIdRecord().value(RecordKey::deviceName).toString();
    header.model = device.deviceIdRecord().value(RecordKey::modelName).toString();
    header.tool = device.toolIdRecord().value(RecordKey::modelName).toString();
    header.program = program;
    header.start = start;
    header.metricUnits = metricUnits;
    return header;
}

StateCsvFormat::StateCsvFormat(const QJsonObject &firstRecord, qint64 originMs)
    : m_originMs(originMs)
{
    QStringList known;
    for (int column = 0; column < StateSample::columnCount; ++column)
        known << StateSample::key(column);
    for (auto it = firstRecord.begin(); it != firstRecord.end(); ++it) {
        if (m_extraKeys.size() == extraColumnLimit)
            break;
        if (it.key().size() <= keyLengthLimit && !known.contains(it.key()))
            m_extraKeys << it.key();
    }
}

QStringList StateCsvFormat::columns() const
{
    QStringList columns{QStringLiteral("elapsed_s"), QStringLiteral("event")};
    for (int column = 0; column < StateSample::columnCount; ++column)
        columns << StateSample::key(column);
    return columns + m_extraKeys;
}

QByteArray StateCsvFormat::header(const StateLogHeader &header) const
{
    const QString tool = header.tool.isEmpty() ? QStringLiteral("none") : header.tool;
    const QList<QPair<QString, QString>> lines{
        {QStringLiteral("# format"), QStringLiteral("VKT state log 1")},
        {QStringLiteral("# device"), header.device},
        {QStringLiteral("# model"), header.model},
        {QStringLiteral("# tool"), tool},
        {QStringLiteral("# units"), unitsText(header.metricUnits)},
        {QStringLiteral("# program"), header.program},
        {QStringLiteral("# start"), header.start.toUTC().toString(Qt::ISODateWithMs)},
    };
    QString text;
    for (const auto &line : lines)
        text += textField(line.first) + separator + textField(line.second) + lineEnd;
    QStringList names;
    for (const QString &column : columns())
        names << textField(column);
    return (text + names.join(separator) + lineEnd).toUtf8();
}

QByteArray StateCsvFormat::sampleRow(const StateSample &sample, const QJsonObject &record) const
{
    QStringList values;
    for (const double value : sample.values)
        values << numberField(value);
    for (const QString &key : m_extraKeys)
        values << valueField(record.value(key));
    return row(sample.elapsedMs, QString(), values.join(separator));
}

QByteArray StateCsvFormat::eventRow(const StateEvent &event) const
{
    const int valueCount = StateSample::columnCount + m_extraKeys.size();
    return row(event.elapsedMs, textField(event.text()), QString(valueCount - 1, separator));
}

QByteArray StateCsvFormat::row(qint64 elapsedMs, const QString &event, const QString &values) const
{
    const QString elapsed = QString::number(double(elapsedMs - m_originMs) / 1000, 'f', 3);
    return (elapsed + separator + event + separator + values + lineEnd).toUtf8();
}

QString StateCsvFormat::textField(const QString &text)
{
    QString field = escapedControls(text.left(fieldLengthLimit));
    static const QString formulaStarts = QStringLiteral("=+-@");
    if (!field.isEmpty() && formulaStarts.contains(field.front()))
        field.prepend(QLatin1Char('\''));
    static const QString quotedFor = QStringLiteral(",\"\r\n");
    if (std::any_of(field.cbegin(), field.cend(), [](QChar c) { return quotedFor.contains(c); }))
        field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\""))
                + QLatin1Char('"');
    return field;
}

QString StateCsvFormat::numberField(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', QLocale::FloatingPointShortest)
                                : QString();
}

// A member beyond the known ones as the device sent it: numbers plain, text as text, anything
// else as compact JSON; a member the record lacks stays empty.
QString StateCsvFormat::valueField(const QJsonValue &value)
{
    if (value.isUndefined())
        return QString();
    if (value.isDouble())
        return numberField(value.toDouble());
    if (value.isString())
        return textField(value.toString());
    // Wrapped in an array, since a document holds no bare scalar; the brackets come off.
    const QByteArray json = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return textField(QString::fromUtf8(json.mid(1, json.size() - 2)));
}
