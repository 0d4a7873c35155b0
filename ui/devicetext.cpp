#include "devicetext.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>

namespace {

constexpr int toolTipLineChars = 64;
constexpr int toolTipLines = 16;

} // namespace

DeviceText::DeviceText(QWidget *widget)
    : QObject(widget)
    , m_label(qobject_cast<QLabel *>(widget))
    , m_button(qobject_cast<QPushButton *>(widget))
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    widget->setSizePolicy(policy);
    if (m_label)
        m_label->setTextFormat(Qt::PlainText);
    widget->installEventFilter(this);
}

DeviceText *DeviceText::of(QWidget *widget)
{
    if (auto *shown = widget->findChild<DeviceText *>(QString(), Qt::FindDirectChildrenOnly))
        return shown;
    return new DeviceText(widget);
}

void DeviceText::show(QLabel *label, const QString &text)
{
    of(label)->setText(text);
}

void DeviceText::show(QPushButton *button, const QString &text)
{
    of(button)->setText(text);
}

QString DeviceText::oneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            c = QLatin1Char(' ');
            break;
        default:
            break;
        }
    }
    return line;
}

void DeviceText::setText(const QString &text)
{
    m_text = text;
    fit();
}

bool DeviceText::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Resize:
    case QEvent::FontChange:
        fit();
        break;
    default:
        break;
    }
    return false;
}

void DeviceText::fit()
{
    const QWidget *widget = m_label ? static_cast<QWidget *>(m_label) : m_button;
    const QString line = oneLine(m_text);
    // A hidden widget has no width of its own yet; it is fitted when it is shown.
    const QString shown =
        widget->isVisible()
            ? QFontMetrics(widget->font()).elidedText(line, Qt::ElideRight, qMax(0, textWidth()))
            : line;
    const QString toolTip = shown == line ? QString() : DeviceText::toolTip(m_text);
    if (m_label) {
        m_label->setText(shown);
        m_label->setToolTip(toolTip);
    } else {
        m_button->setText(QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")));
        m_button->setToolTip(toolTip);
    }
}

// Broken into lines of its own, so that neither a long text nor a narrow guess of the tool
// tip's width breaks it elsewhere; a tool tip guesses rich text as a label does, so the text goes
// in escaped.
QString DeviceText::toolTip(const QString &text)
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
        lines.last() += QChar(0x2026); // an ellipsis
    return Qt::convertFromPlainText(lines.join(QLatin1Char('\n')), Qt::WhiteSpacePre);
}

// The width the widget has for its text, less an average character, so that a text never
// touches the frame.
int DeviceText::textWidth() const
{
    if (m_label) {
        const int margins = 2 * m_label->margin() + m_label->fontMetrics().averageCharWidth();
        return m_label->contentsRect().width() - margins;
    }
    QStyleOptionButton option;
    option.initFrom(m_button);
    const QRect contents =
        m_button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, m_button);
    return contents.width() - m_button->fontMetrics().averageCharWidth();
}
