#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QTextCodec>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz program shares: the same conditions on every machine, and a broken property
// reported as a crash, so libFuzzer keeps the input that broke it.
namespace fuzz {

// Debug lines for every rejected input would cost more than the parsing; a fixed locale
// encoding makes a finding reproducible whatever LANG the run had.
inline void prepare()
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

inline void require(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

} // namespace fuzz
