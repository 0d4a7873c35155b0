#include "simcommand.h"

SimCommand::SimCommand(const QString &line)
{
    const QString text = line.trimmed();
    const int equals = text.indexOf(QLatin1Char('='));
    hasValue = equals >= 0;
    commandPath = hasValue ? text.left(equals) : text;
    if (hasValue)
        valueText = text.mid(equals + 1);
}
