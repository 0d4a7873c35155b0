#pragma once

#include <QJsonValue>

// How the link reads a member of the device's state record before it signals it: whatever a
// device sends gives a defined number, never an overflow.
namespace StateValue {

// The number, or 0 for anything else.
double number(const QJsonValue &value);
// Truncated towards zero; 0 when not a number or beyond an int.
int truncated(const QJsonValue &value);
// As truncated, but 0 for a number with a fraction.
int wholeNumber(const QJsonValue &value);
// The low 32 bits of a bit pattern, also when written as signed; 0 when not an exact integer.
quint32 dioWord(const QJsonValue &value);

} // namespace StateValue
