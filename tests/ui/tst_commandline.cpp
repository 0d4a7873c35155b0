// The informational first arguments: which count as such.
#include "commandlineinfo.h"

#include <QtTest>

#include <vector>

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
    void helpAndVersion();
};

// Only a first argument, and only a whole option, asks for information.
void TestCommandLine::helpAndVersion()
{
    using R = CommandLineInfo::Request;
    QCOMPARE(requestOf({"--help", "usb:///dev/ttyUSB0"}), R::Help);
    QCOMPARE(requestOf({"--version"}), R::Version);
    // The short forms the help lists, which once went to the device address.
    QCOMPARE(requestOf({"-h"}), R::Help);
    QCOMPARE(requestOf({"-v"}), R::Version);
    QCOMPARE(requestOf({"network://10.0.0.5", "--help"}), R::None);
    QCOMPARE(requestOf({"--help=all"}), R::None);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
