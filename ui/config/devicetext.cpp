#include "devicetext.h"

#include <QLabel>
#include <QTextDocument>

namespace DeviceText {

namespace {

constexpr int shownChars = 40; // about the width of two MAC addresses
constexpr int toolTipLineChars = 64;
constexpr int toolTipLines = 16;
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

// Broken into lines of its own, so that neither a long text nor a narrow guess of the tool
// tip's width breaks it elsewhere.
QString toolTip(const QString &text)
{
    const QString shown = text.left(toolTipLines * toolTipLineChars);
    QStringList lines;
    for (const QString &paragraph : shown.split(QLatin1Char('\n'))) {
        for (int from = 0; from < qMax(1, paragraph.size()); from += toolTipLineChars)
            lines << paragraph.mid(from, toolTipLineChars);
    }
    const bool cut = shown.size() < text.size() || lines.size() > toolTipLines;
    lines = lines.mid(0, toolTipLines);
    if (cut)
        lines.last() += ellipsis;
    return Qt::convertFromPlainText(lines.join(QLatin1Char('\n')), Qt::WhiteSpacePre);
}

} // namespace DeviceText
