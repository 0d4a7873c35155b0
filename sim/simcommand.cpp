#include "simcommand.h"

SimCommand::SimCommand(const QString &line)
{
    const QString text = line.trimmed();
    const int equals = text.indexOf(QLatin1Char('='));
    m_hasValue = equals >= 0;
    m_commandPath = m_hasValue ? text.left(equals) : text;
    if (m_hasValue)
        m_valueText = text.mid(equals + 1);
}
