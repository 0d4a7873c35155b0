#include "statevalue.h"

#include <cmath>
#include <limits>

double StateValue::number(const QJsonValue &value)
{
    return value.isDouble() ? value.toDouble() : 0.0;
}

int StateValue::truncated(const QJsonValue &value)
{
    const double d = std::trunc(number(value));
    const bool fits = d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max();
    return fits ? int(d) : 0;
}

int StateValue::wholeNumber(const QJsonValue &value)
{
    const double d = number(value);
    return d == std::trunc(d) ? truncated(value) : 0;
}

// Bit 31, or any bit above the decoded ones, must not make the word unreadable.
quint32 StateValue::dioWord(const QJsonValue &value)
{
    constexpr double exactLimit = 9007199254740992.0; // 2^53: every integer below is exact
    const double d = number(value);
    const bool exact = d == std::trunc(d) && std::abs(d) < exactLimit;
    return exact ? quint32(qint64(d)) : 0;
}
