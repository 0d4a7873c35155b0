// The console widget alone: what received bytes do to the screen, what keys send, and that
// neither keys nor the mouse change the screen locally.
#include "console.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void receivedBytes_data();
    void receivedBytes();
    void keepsLastHundredLinesScrolledToBottom();
    void keysSendTheirTextOnly_data();
    void keysSendTheirTextOnly();
    void mouseLeavesScreenAlone();
};

void TestConsole::receivedBytes_data()
{
    QTest::addColumn<QByteArrayList>("chunks"); // each one putData call
    QTest::addColumn<QString>("screen");

    QByteArray high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high += char(byte);

    QTest::newRow("backspace in a later chunk") << QByteArrayList{"12", "\b"} << "1";
    QTest::newRow("backspace on an empty screen") << QByteArrayList{"\b\bA"} << "A";
    QTest::newRow("backspace joins lines") << QByteArrayList{"a\r\n", "\b", "b"} << "ab";
    QTest::newRow("device echo of a backspace") << QByteArrayList{"abc", "\b \b"} << "ab";
    QTest::newRow("CR LF is one new line") << QByteArrayList{"one\r\ntwo\r\n>>"} << "one\ntwo\n>>";
    QTest::newRow("0x80 to 0xFF never appear") << QByteArrayList{"<" + high + ">", high} << "<>";
    QTest::newRow("control bytes dropped, tab kept")
        << QByteArrayList{QByteArray("a\x01\x1b\x7f\x00\tb\r", 9)} << "a\tb";
    // A device that never sends a line feed gets its lines broken, also across chunks.
    const QString brokenLine = QString(1024, 'x') + '\n';
    QTest::newRow("no line feed") << QByteArrayList{QByteArray(1500, 'x'), QByteArray(1500, 'x')}
                                  << brokenLine + brokenLine + QString(952, 'x');
}

void TestConsole::receivedBytes()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QString, screen);
    Console console;
    for (const QByteArray &chunk : chunks)
        console.putData(chunk);
    QCOMPARE(console.toPlainText(), screen);
}

void TestConsole::keepsLastHundredLinesScrolledToBottom()
{
    Console console;
    console.resize(400, 200);
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    for (int line = 1; line <= 150; ++line)
        console.putData(QByteArray(line > 1 ? "\r\n" : "") + "line " + QByteArray::number(line));

    const QStringList lines = console.toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 100);
    QCOMPARE(lines.first(), QStringLiteral("line 51"));
    QCOMPARE(lines.last(), QStringLiteral("line 150"));
    const QScrollBar *bar = console.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestConsole::keysSendTheirTextOnly_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // as the key event reports it
    QTest::addColumn<QByteArrayList>("sent");

    const QByteArrayList none;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << "a" << QByteArrayList{"a"};
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << "\b"
                               << QByteArrayList{"\b"};
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03"
                            << QByteArrayList{"\x03"};
    QTest::newRow("non-ASCII as UTF-8") << int(Qt::Key_Eacute) << int(Qt::NoModifier)
                                        << QString(QChar(0xE9)) << QByteArrayList{"\xC3\xA9"};
    QTest::newRow("Shift has no text")
        << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << QByteArrayList{""};
    for (const int arrow : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
        QTest::addRow("arrow %x", arrow) << arrow << int(Qt::NoModifier) << "" << none;
    QTest::newRow("Shift+Left") << int(Qt::Key_Left) << int(Qt::ShiftModifier) << "" << none;
    QTest::newRow("Escape is the window's")
        << int(Qt::Key_Escape) << int(Qt::NoModifier) << "\x1b" << none;
}

void TestConsole::keysSendTheirTextOnly()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QByteArrayList, sent);

    Console console;
    console.putData("first\r\nsecond");
    QTextCursor middle = console.textCursor();
    middle.setPosition(3);
    console.setTextCursor(middle);
    QSignalSpy spy(&console, &Console::getData);
    // One press and its release, without the separate modifier presses QTest would add.
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(&console, &press);
    QApplication::sendEvent(&console, &release);
    // Taken, so that nothing reaches the window, except Escape, which is there to close it.
    QCOMPARE(press.isAccepted(), key != Qt::Key_Escape);

    QByteArrayList emitted;
    for (const QList<QVariant> &arguments : qAsConst(spy))
        emitted << arguments.at(0).toByteArray();
    QCOMPARE(emitted, sent);
    QCOMPARE(console.toPlainText(), QStringLiteral("first\nsecond"));
    QCOMPARE(console.textCursor().position(), 3);
    QVERIFY(!console.textCursor().hasSelection());
}

void TestConsole::mouseLeavesScreenAlone()
{
    Console console;
    console.resize(400, 200);
    console.show();
    QVERIFY(QTest::qWaitForWindowActive(&console));
    console.putData("a few words\r\non two lines");
    const int end = console.textCursor().position();
    console.clearFocus();

    const QPoint onFirstWord = console.cursorRect(QTextCursor(console.document())).center();
    QTest::mouseClick(console.viewport(), Qt::LeftButton, Qt::NoModifier, onFirstWord);
    QVERIFY(console.hasFocus());
    QTest::mouseDClick(console.viewport(), Qt::LeftButton, Qt::NoModifier, onFirstWord);
    QCOMPARE(console.textCursor().position(), end);
    QVERIFY(!console.textCursor().hasSelection());

    // A menu may run its own loop; whatever pops up is seen, and closed, from inside it.
    bool popupSeen = false;
    QTimer::singleShot(200, this, [&popupSeen] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            popupSeen = true;
            popup->close();
        }
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, onFirstWord,
                                 console.viewport()->mapToGlobal(onFirstWord));
    QApplication::sendEvent(console.viewport(), &rightClick);
    QTest::qWait(300);
    QVERIFY(!popupSeen);
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
