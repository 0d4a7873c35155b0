#include "devicetext.h"

#include <QLabel>
#include <QTextDocument>

namespace DeviceText {

namespace {

constexpr int shownChars = 40;     // about the width of two MAC addresses
constexpr int toolTipChars = 1024; // some 20 lines of a tool tip
const QChar ellipsis(0x2026);

// Line breaks and other control characters would make a label as tall as they are many.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

void show(QLabel *label, const QString &text)
{
    label->setTextFormat(Qt::PlainText);
    const QFontMetrics metrics = label->fontMetrics();
    // Only the start is measured: eliding a megabyte would lay all of it out.
    const QString shown = metrics.elidedText(oneLine(text.left(4 * shownChars)), Qt::ElideRight,
                                             metrics.averageCharWidth() * shownChars);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : toolTip(text));
}

QString toolTip(const QString &text)
{
    const QString bounded = text.size() > toolTipChars ? text.left(toolTipChars) + ellipsis : text;
    return Qt::convertFromPlainText(bounded, Qt::WhiteSpaceNormal);
}

} // namespace DeviceText
