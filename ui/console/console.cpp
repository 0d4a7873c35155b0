#include "console.h"

#include "terminaldecoder.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>

#include <utility>

namespace {

constexpr int keptLines = 100;
// Longer lines are broken: a device that sends no line feed must not grow one line without
// end, laid out again at every chunk at an ever greater cost.
constexpr int maxLineChars = 1024;

// Takes back up to `count` characters before the cursor, line ends included, in one edit.
void deleteBack(QTextCursor &cursor, int count)
{
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, count);
    cursor.removeSelectedText();
}

// Types text at the cursor, breaking it where a line would pass maxLineChars. Of a text that
// holds more lines than are kept only the last ones are typed, in place of everything before
// the cursor: the rest would be dropped at once anyway.
void type(QTextCursor &cursor, const QString &text)
{
    QString lines;
    lines.reserve(text.size() + text.size() / maxLineChars + 1);
    int column = cursor.positionInBlock();
    for (const QChar c : text) {
        if (c != QLatin1Char('\n') && column >= maxLineChars) {
            lines += QLatin1Char('\n');
            column = 0;
        }
        lines += c;
        column = c == QLatin1Char('\n') ? 0 : column + 1;
    }

    int start = lines.size();
    int lineEnds = 0;
    while (start > 0 && lineEnds < keptLines) {
        if (lines.at(--start) == QLatin1Char('\n'))
            ++lineEnds;
    }
    if (lineEnds == keptLines) {
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
        lines.remove(0, start + 1);
    }
    cursor.insertText(lines);
}

} // namespace

Console::Console(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // Also ends the undo history, which would otherwise keep every byte ever shown.
    setMaximumBlockCount(keptLines);
    QPalette colours = palette();
    colours.setBrush(QPalette::Base, QBrush(Qt::black));
    colours.setBrush(QPalette::Text, QBrush(Qt::green));
    setPalette(colours);
}

void Console::putData(const QByteArray &data)
{
    // A copy edits the same document; the widget's own cursor moves along with the text. A run
    // of backspaces is one edit, however long.
    QTextCursor cursor = textCursor();
    int backspaces = 0;
    for (const TerminalDecoder::Edit &edit : TerminalDecoder::decode(data)) {
        if (edit.kind == TerminalDecoder::Edit::Kind::DeleteBack) {
            ++backspaces;
            continue;
        }
        deleteBack(cursor, std::exchange(backspaces, 0));
        type(cursor, edit.text);
    }
    deleteBack(cursor, backspaces);
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

void Console::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    setFocus();
}

void Console::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
}

void Console::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return;
    case Qt::Key_Escape:
        // The screen always has the focus: Escape must reach the window to close it.
        event->ignore();
        return;
    default:
        // Never passed on: the screen shows only what the device echoes.
        emit getData(event->text().toUtf8());
    }
}

void Console::contextMenuEvent(QContextMenuEvent *event)
{
    Q_UNUSED(event)
}
