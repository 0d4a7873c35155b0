#include "configrecord.h"

#include <QJsonValue>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace ConfigRecord {

int integer(const QJsonObject &record, const QString &key)
{
    return record.value(key).toInt();
}

bool flag(const QJsonObject &record, const QString &key)
{
    return integer(record, key) != 0;
}

double number(const QJsonObject &record, const QString &key)
{
    return record.value(key).toDouble();
}

QString text(const QJsonObject &record, const QString &key)
{
    return record.value(key).toString();
}

QJsonObject object(const QJsonObject &record, const QString &key)
{
    return record.value(key).toObject();
}

double rating(const QJsonValue &reply, double bound)
{
    const double value = reply.toDouble();
    return std::isfinite(value) ? std::clamp(value, 0.0, bound) : 0.0;
}

Ipv4Parts parseIpv4(const QString &text)
{
    Ipv4Parts parts{};
    const QStringList fields = text.split(QLatin1Char('.'));
    for (int i = 0; i < int(parts.size()) && i < fields.size(); ++i) {
        bool ok = false;
        const int part = fields.at(i).toInt(&ok, 10);
        parts[i] = ok ? part : 0;
    }
    return parts;
}

QString formatIpv4(const Ipv4Parts &parts)
{
    return QStringLiteral("%1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]);
}

} // namespace ConfigRecord
