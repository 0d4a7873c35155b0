// The informational first arguments of both programs: which arguments count as such, and what
// the real executables print for them, without a display.
#include "commandlineinfo.h"

#include <QProcess>
#include <QtTest>

#include <vector>

Q_DECLARE_METATYPE(CommandLineInfo::Request)

namespace {

CommandLineInfo::Request requestOf(const QStringList &arguments)
{
    std::vector<QByteArray> storage{QByteArrayLiteral("vkt-dashboard")};
    for (const QString &argument : arguments)
        storage.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return CommandLineInfo::requested(int(storage.size()), argv.data());
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void requested_data();
    void requested();
    void printed_data();
    void printed();
};

void TestCommandLine::requested_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLineInfo::Request>("expected");

    using R = CommandLineInfo::Request;
    QTest::newRow("no argument") << QStringList() << R::None;
    QTest::newRow("help") << QStringList{"--help"} << R::Help;
    QTest::newRow("version") << QStringList{"--version"} << R::Version;
    QTest::newRow("help, then more") << QStringList{"--help", "usb:///dev/ttyUSB0"} << R::Help;
    QTest::newRow("help after an address")
        << QStringList{"network://10.0.0.5", "--help"} << R::None;
    QTest::newRow("empty address, then version") << QStringList{"", "--version"} << R::None;
    QTest::newRow("help with a value") << QStringList{"--help=all"} << R::None;
    QTest::newRow("other option") << QStringList{"--verbose"} << R::None;
}

void TestCommandLine::requested()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLineInfo::Request, expected);
    QCOMPARE(requestOf(arguments), expected);
}

void TestCommandLine::printed_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected"); // whole output, or a part of it for help texts

    const QString dashboard = QStringLiteral(VKT_DASHBOARD_PATH);
    const QString sim = QStringLiteral(VKT_SIM_PATH);
    QTest::newRow("dashboard version")
        << dashboard << "--version" << QString("VKT Dashboard " VKT_VERSION "\n");
    QTest::newRow("dashboard help") << dashboard << "--help"
                                    << "vkt-dashboard [options] [address]\n";
    QTest::newRow("sim version") << sim << "--version" << QString("vkt-sim " VKT_VERSION "\n");
}

void TestCommandLine::printed()
{
    QFETCH(QString, program);
    QFETCH(QString, argument);
    QFETCH(QString, expected);

    // No display of any kind: a program that opened its window would fail here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    // The texts compared are English; the program speaks its desktop's language.
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, {argument});
    QVERIFY2(process.waitForFinished(10000), qPrintable(program));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());

    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    if (argument == QLatin1String("--version")) {
        QCOMPARE(output, expected);
    } else {
        // Qt names the program as it was started, path included.
        QVERIFY2(output.startsWith("Usage: ")
                     && output.section('\n', 0, 0).endsWith(expected.trimmed()),
                 qPrintable(output));
        QVERIFY2(output.contains("--version"), qPrintable(output));
        // Every option the help lists is answered, not taken for a device address.
        const QString options = output.section(QStringLiteral("\n\n"), 1, 1);
        const QRegularExpression option(QStringLiteral("(?:^  |, )(-[-\\w]+)"),
                                        QRegularExpression::MultilineOption);
        int listed = 0;
        for (auto matches = option.globalMatch(options); matches.hasNext(); ++listed) {
            const QString name = matches.next().captured(1);
            QVERIFY2(requestOf({name}) != CommandLineInfo::Request::None, qPrintable(name));
        }
        QVERIFY2(listed >= 2, qPrintable(options));
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
