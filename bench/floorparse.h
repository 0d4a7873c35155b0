#pragma once

// Built with VKT_FLOOR_PARSES, a floor client also parses each reply's JSON text with Qt's
// parser, the one step of an exchange that no bare client takes and the dashboard cannot skip;
// built without, it stays free of Qt and parses nothing.

#include <cstddef>

#ifdef VKT_FLOOR_PARSES
#include <QByteArray>
#include <QJsonDocument>
#endif

namespace bench {

#ifdef VKT_FLOOR_PARSES
constexpr const char *floorSuffix = " parsing";
inline bool floorParse(const char *json, size_t size)
{
    return QJsonDocument::fromJson(QByteArray::fromRawData(json, int(size))).isObject();
}
#else
constexpr const char *floorSuffix = "";
inline bool floorParse(const char *, size_t)
{
    return true;
}
#endif

} // namespace bench
