#include "printabletext.h"

QString PrintableText::of(const QString &text, int maxChars)
{
    const QChar ellipsis(0x2026);
    QString shown;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
        if (maxChars >= 0 && shown.size() > maxChars) {
            shown.truncate(qMax(0, maxChars - 1));
            if (!shown.isEmpty() && QChar(shown.back()).isHighSurrogate())
                shown.chop(1); // half a character is none
            return shown + ellipsis;
        }
    }
    return shown;
}
