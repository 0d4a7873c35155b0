#include "parametercomparison.h"

#include "commandtext.h"
#include "printabletext.h"

#include <QMap>

QVector<ParameterComparison::Entry> ParameterComparison::compare(const QJsonObject &device,
                                                                 const QJsonObject &file,
                                                                 const QStringList &records)
{
    QVector<QPair<QString, QJsonValue>> deviceValues;
    QVector<QPair<QString, QJsonValue>> fileValues;
    for (const QString &record : records) {
        const QString prefix = QLatin1Char('/') + record;
        flatten(device.value(record).toObject(), prefix, &deviceValues);
        flatten(file.value(record).toObject(), prefix, &fileValues);
    }

    QMap<QString, Entry> entries; // sorted by path
    for (const auto &value : qAsConst(deviceValues))
        entries[value.first] = {value.first, value.second, QJsonValue(QJsonValue::Undefined)};
    for (const auto &value : qAsConst(fileValues)) {
        Entry &entry = entries[value.first];
        if (entry.path.isEmpty())
            entry = {value.first, QJsonValue(QJsonValue::Undefined), value.second};
        else
            entry.fileValue = value.second;
    }
    return QVector<Entry>::fromList(entries.values());
}

QString ParameterComparison::line(const Entry &entry)
{
    return QStringLiteral("%1 %2: device %3, file %4")
        .arg(entry.differs() ? QStringLiteral("*") : QStringLiteral(" "),
             PrintableText::of(entry.path), valueText(entry.deviceValue),
             valueText(entry.fileValue));
}

void ParameterComparison::flatten(const QJsonObject &object, const QString &prefix,
                                  QVector<QPair<QString, QJsonValue>> *values)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString path = prefix + QLatin1Char('/') + it.key();
        if (it.value().isObject())
            flatten(it.value().toObject(), path, values);
        else
            values->append({path, it.value()});
    }
}

QString ParameterComparison::valueText(const QJsonValue &value)
{
    return value.isUndefined() ? QStringLiteral("(none)") : CommandText::compactJson(value);
}
