#pragma once

#include <QJsonObject>
#include <QString>

#include <array>

// Four parts of a dotted IPv4 text, first part first.
using Ipv4Parts = std::array<int, 4>;

// How every reader takes the configuration records apart: a missing or mistyped key reads as
// its default, never as an error, and an IPv4 text always yields four parts.
namespace ConfigRecord {

int integer(const QJsonObject &record, const QString &key);
bool flag(const QJsonObject &record, const QString &key);
double number(const QJsonObject &record, const QString &key);
QString text(const QJsonObject &record, const QString &key);
QJsonObject object(const QJsonObject &record, const QString &key);

// A rating that sizes a range, from 0 to `bound`: a reply that is not a number or is negative
// reads as 0, as a missing one does, and a larger one as `bound`.
double rating(const QJsonValue &reply, double bound);

Ipv4Parts parseIpv4(const QString &text);
QString formatIpv4(const Ipv4Parts &parts);

} // namespace ConfigRecord
