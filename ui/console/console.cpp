#include "console.h"

#include "terminaldecoder.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace {
constexpr int keptLines = 100;
}

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
    // A copy edits the same document; the widget's own cursor moves along with the text.
    QTextCursor cursor = textCursor();
    for (const TerminalDecoder::Edit &edit : TerminalDecoder::decode(data)) {
        if (edit.kind == TerminalDecoder::Edit::Kind::Insert)
            cursor.insertText(edit.text);
        else
            cursor.deletePreviousChar();
    }
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
