#include "commandtext.h"
#include "ctlcommandline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

// What the tool takes from its command line, types for the device and prints for the operator.
class TestCtlFormats : public QObject
{
    Q_OBJECT

private slots:
    void usageError_data();
    void usageError();
    void argument_data();
    void argument();
    void printedJsonHasNoControls();
};

void TestCtlFormats::usageError_data()
{
    QTest::addColumn<QStringList>("arguments");
    const auto row = [](const char *name, const QStringList &arguments) {
        QTest::newRow(name) << arguments;
    };
    row("no command", {"usb://p"});
    row("unknown command", {"usb://p", "frob"});
    row("unknown option", {"usb://p", "get", "/a", "--frob"});
    row("get without path", {"usb://p", "get"});
    row("save two files", {"usb://p", "save", "a", "b"});
    row("option of another command", {"usb://p", "get", "/a", "--dry-run"});
    row("csv and json", {"usb://p", "state", "--watch", "--csv", "--json"});
    row("duration without watch", {"usb://p", "state", "--duration", "1"});
    for (const char *duration : {"0", "1e12"})
        row(duration, {"usb://p", "state", "--watch", "--duration", duration});
    row("wait zero", {"discover", "--wait", "0"});
}

void TestCtlFormats::usageError()
{
    QFETCH(QStringList, arguments);
    CtlCommandLine commandLine;
    QCOMPARE(commandLine.parse(QStringList{"vkt-ctl"} + arguments),
             CtlCommandLine::Outcome::UsageError);
    QVERIFY(!commandLine.errorText().isEmpty());
}

void TestCtlFormats::argument_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // empty: refused
    const auto row = [](const char *name, const char *typed, const char *sent) {
        QTest::newRow(name) << QString(typed) << QString(sent);
    };
    row("number as the dashboard writes it", "12.50", "12.5");
    row("JSON string", "\"My Device\"", "My Device");
    row("leading zeros are text", "007", "007");
    row("two values are text", "1,2", "1,2");
    row("white space only", " \t ", "");
    row("null would turn into a query", "null", "");
    row("control character", "a\003b", "");
    row("control character as a JSON escape", "\"a\\u0003b\"", "");
}

void TestCtlFormats::argument()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    QCOMPARE(CommandText::argument(typed), sent);
}

// A device's text reaches a terminal: DEL and the C1 controls (an 8-bit CSI) go escaped, as the
// C0 controls already do, and the text still reads back as the same JSON.
void TestCtlFormats::printedJsonHasNoControls()
{
    const QString hostile = QStringLiteral("a\x1b[2Jb\x7f\x9b"
                                           "31mc\u00e4");
    const QString printed = CommandText::compactJson(hostile);
    QCOMPARE(printed, QStringLiteral("\"a\\u001b[2Jb\\u007f\\u009b31mc\u00e4\""));
    QCOMPARE(QJsonDocument::fromJson(("[" + printed + "]").toUtf8()).array().first(),
             QJsonValue(hostile));
}

QTEST_GUILESS_MAIN(TestCtlFormats)
#include "tst_ctlformats.moc"
