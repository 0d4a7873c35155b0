#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

// What every fuzz program shares. fuzzmain.cpp sets the same conditions on every machine and
// hands each input to the program's checkInput; a broken property is reported as a crash, so
// libFuzzer keeps the input that broke it.
namespace fuzz {

// Each program's properties, checked on one input.
void checkInput(const QByteArray &bytes);

inline void require(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// What JSON itself reads back from an object's text, to compare with: Qt's writer may move a
// number beyond 2^63 by one unit in the last place, which is no matter of the code under test.
inline QJsonObject readBack(const QJsonObject &object)
{
    return QJsonDocument::fromJson(compact(object)).object();
}

} // namespace fuzz
