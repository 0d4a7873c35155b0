// The libFuzzer entry points of every fuzz program.
#include "fuzzcheck.h"

#include <QLoggingCategory>
#include <QTextCodec>

#include <cstddef>
#include <cstdint>

// Debug lines for every rejected input would cost more than the parsing; a fixed locale
// encoding makes a finding reproducible whatever LANG the run had.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::checkInput(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
