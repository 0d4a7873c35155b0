#include "connectedwindow.h"
#include "smalldisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

namespace {

// A refused file costs no exchange at all: it is settled well within one reply wait, whatever
// its size.
constexpr int refusalBoundMs = 1000;

} // namespace

// Saving the device's configuration to a parameter file and loading one into the device.
class TestParameterFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saveThenLoadRoundTrip_data();
    void saveThenLoadRoundTrip();
    void silentDevice_data();
    void silentDevice();
    void badFilesAreRefused_data();
    void badFilesAreRefused();
    void unusableFiles_data();
    void unusableFiles();

private:
    // A connected window whose file dialogs answer with the test's parameter file.
    bool connectWindow(ConnectedWindow &connected, const QString &device,
                       const QString &transport = QStringLiteral("serial"));
    QByteArray readFile() const;
    // `head`, then `fill` `times` over, then `tail`: big files are written piece by piece.
    void writeFile(const QByteArray &head, const QByteArray &fill = {}, int times = 0,
                   const QByteArray &tail = {});

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath(QStringLiteral("settings.par"));
};

void TestParameterFileCommands::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(m_dir.isValid());
}

bool TestParameterFileCommands::connectWindow(ConnectedWindow &connected, const QString &device,
                                              const QString &transport)
{
    const auto fixedName = [this](QWidget *) { return m_file; };
    connected.window.askSaveFileName = fixedName;
    connected.window.askOpenFileName = fixedName;
    if (transport == QLatin1String("serial"))
        return connected.connect({"--device", device});
    return connected.sim.start({"--device", device, "--no-tcp", "--udp-address",
                                SimProcess::uniqueLoopbackAddress()})
           && connected.window.remoteDevice.connectDevice(connected.sim.networkAddress())
           && connected.window.remoteDevice.isConnected();
}

QByteArray TestParameterFileCommands::readFile() const
{
    QFile file(m_file);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestParameterFileCommands::writeFile(const QByteArray &head, const QByteArray &fill, int times,
                                          const QByteArray &tail)
{
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(head), head.size());
    constexpr int piecesPerWrite = 4096;
    const QByteArray piece = fill.repeated(piecesPerWrite);
    for (int written = 0; written < times; written += piecesPerWrite) {
        const QByteArray chunk =
            times - written >= piecesPerWrite ? piece : fill.repeated(times - written);
        QCOMPARE(file.write(chunk), chunk.size());
    }
    QCOMPARE(file.write(tail), tail.size());
}

void TestParameterFileCommands::saveThenLoadRoundTrip_data()
{
    QTest::addColumn<QString>("device");
    QTest::newRow("hbn unit") << "hbn";
    QTest::newRow("vkt alone") << "vkt";
}

void TestParameterFileCommands::saveThenLoadRoundTrip()
{
    QFETCH(QString, device);
    const bool hbn = device == QLatin1String("hbn");

    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connectWindow(connected, device));
    window.onFileSaveButtonClick();
    QVERIFY(connected.answerer.boxes().isEmpty());
    QJsonObject document = QJsonDocument::fromJson(readFile()).object();
    QCOMPARE(document.keys(), hbn ? QStringList({"hbn", "vkt"}) : QStringList({"vkt"}));
    QJsonObject vkt = document.value("vkt").toObject();
    QCOMPARE(vkt, window.remoteDevice.sendCommand(QStringLiteral("/vkt/cfgObject")).toObject());

    // Change one setting in the file and bring it back into the device.
    QVERIFY(vkt.value("softTouchForce").toDouble() != 0.42);
    vkt.insert("softTouchForce", 0.42);
    document.insert("vkt", vkt);
    writeFile(QJsonDocument(document).toJson());
    const int from = connected.sim.commands().size();
    window.onFileOpenButtonClick();
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text,
             QStringLiteral("Configuration downloaded and saved!"));

    const QStringList sent = connected.sentSince(from);
    const QStringList sets = sent.filter("=");
    QVERIFY(sets.contains("/vkt/softTouchForce=0.42"));
    QCOMPARE(sets.filter("/hbn/").isEmpty(), !hbn);
    // Stored once everything is set.
    QVERIFY(sent.indexOf("/saveConfig") > sent.indexOf(sets.last()));
    const QJsonObject loaded =
        window.remoteDevice.sendCommand(QStringLiteral("/vkt/cfgObject")).toObject();
    QCOMPARE(loaded.value("softTouchForce").toDouble(), 0.42);
}

void TestParameterFileCommands::silentDevice_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("text");
    QTest::newRow("save") << true << "Error reading configuration from device!";
    QTest::newRow("load") << false << "Connection lost: configuration not saved!";
}

void TestParameterFileCommands::silentDevice()
{
    QFETCH(bool, save);
    QFETCH(QString, text);

    ConnectedWindow connected;
    QVERIFY(connectWindow(connected, "vkt"));
    const QByteArray before = R"({"vkt": {"metricUnits": 1, "softTouchForce": 0.3}})";
    writeFile(before);
    // Polls must not find the silence first: the file command itself has to meet it.
    connected.window.remoteDevice.setPolling(false);
    QVERIFY(connected.sim.control(QStringLiteral("silent on")));
    if (save)
        connected.window.onFileSaveButtonClick();
    else
        connected.window.onFileOpenButtonClick();
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text, text);
    QVERIFY(!connected.window.remoteDevice.isConnected()); // a dead link ends
    QVERIFY(!connected.sim.commands().contains("/saveConfig"));
    // The existing file is kept, and no half-written copy is left beside it.
    QCOMPARE(readFile(), before);
    QCOMPARE(QDir(m_dir.path()).entryList({"settings.par*"}, QDir::Files | QDir::Hidden),
             QStringList{"settings.par"});
}

void TestParameterFileCommands::badFilesAreRefused_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("transport");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("fill");
    QTest::addColumn<int>("times");
    QTest::addColumn<QByteArray>("tail");

    const auto rows = [](const char *name, const QString &device, const QByteArray &head,
                         const QByteArray &fill = {}, int times = 0, const QByteArray &tail = {}) {
        for (const char *transport : {"serial", "network"}) {
            QTest::addRow("%s, %s", name, transport)
                << device << QString::fromLatin1(transport) << head << fill << times << tail;
        }
    };
    rows("empty", "vkt", QByteArray());
    rows("hbn missing on hbn unit", "hbn", R"({"vkt": {"softTouchForce": 0.3}})");
    // Each would turn one setting into another command, or into more than one.
    rows("CR LF in a key", "vkt", R"({"vkt": {"softTouchForce\r\nflashfirmware": 0.3}})");
    rows("equals sign in a key", "vkt", R"({"vkt": {"softTouchForce=0.3": 0.3}})");
    rows("slash in a key", "vkt", R"({"vkt": {"../flashfirmware": 1}})");
    rows("space in a key", "vkt", R"({"vkt": {"softTouchForce flashfirmware": 0.3}})");
    rows("control characters in a value", "vkt",
         R"({"vkt": {"softTouchForce": 0.3, "name": "a\u001b[2J\r\nflashfirmware"}})");
    rows("U+2028 in a key", "vkt", R"({"vkt": {"softTouchForce\u2028flashfirmware": 0.3}})");
    constexpr int deepLevels = 1000;
    rows("1000-deep nesting", "vkt", R"({"vkt": {"k": )", R"({"k": )", deepLevels - 2,
         "1" + QByteArray("}").repeated(deepLevels));
    // Valid documents, were it not for their size.
    rows("50 MB", "vkt", R"({"vkt": {"softTouchForce": 0.3}})", " ", 50 * 1000 * 1000);
    rows("2.6 million keys", "vkt", R"({"vkt": {"softTouchForce": 0.3)", R"(, "k": 1)", 2600 * 1000,
         "}}");
    // The unit system would go out first, were the file not settled whole beforehand.
    rows("wrong types", "vkt", R"({"vkt": {"metricUnits": 1, "softTouchForce": "0.3"}})");
}

void TestParameterFileCommands::badFilesAreRefused()
{
    QFETCH(QString, device);
    QFETCH(QString, transport);
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, fill);
    QFETCH(int, times);
    QFETCH(QByteArray, tail);

    ConnectedWindow connected;
    QVERIFY(connectWindow(connected, device, transport));
    writeFile(head, fill, times, tail);
    connected.sentSince(0); // what connecting sent has all come in
    const int from = connected.sim.commands().size();
    QElapsedTimer clock;
    clock.start();
    connected.window.onFileOpenButtonClick();
    const qint64 elapsedMs = clock.elapsed();
    const QStringList sent = connected.sentSince(from);

    // One line for the fault matrix, whatever the checks below find: the case is the row's
    // name without its transport.
    const QString box = connected.answerer.boxes().isEmpty()
                            ? QStringLiteral("no box")
                            : '"' + connected.answerer.boxes().constLast().text + '"';
    const QString outcome =
        box + QStringLiteral(", %1 sent").arg(sent.isEmpty() ? "nothing" : sent.join(' '));
    qInfo().noquote() << QStringLiteral("MATRIX\tparameter file: %1\t%2\t%3 ms\t%4\t%5")
                             .arg(QString::fromLatin1(QTest::currentDataTag()).section(", ", 0, 0),
                                  transport, QString::number(refusalBoundMs),
                                  QString::number(elapsedMs), outcome);
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text, QStringLiteral("Bad configuration file format!"));
    QVERIFY2(sent.isEmpty(), qPrintable(sent.join(' ')));
    QVERIFY2(elapsedMs < refusalBoundMs, qPrintable(QString::number(elapsedMs)));
}

void TestParameterFileCommands::unusableFiles_data()
{
    // `target`: "full disk" (a file that fills it, to be replaced), "pipe" (a named pipe), or
    // a file holding `content`.
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("box"); // its lines

    const QByteArray filling(SmallDisk::sizeBytes, 'x');
    QTest::newRow("save onto a full disk")
        << true << "full disk" << filling
        << QStringList{"Error saving file!", "No space left on device"};
    // Opened, it would hold the window until something wrote to it.
    QTest::newRow("load a named pipe") << false << "pipe" << QByteArray()
                                       << QStringList{"Error opening file!", "not a regular file"};
    // Every value goes and the device keeps those it took; nothing is stored. The answers are
    // listed up to a bound, each cut to a line.
    QByteArray refused = R"({"vkt": {"softTouchForce": 0.5)";
    QStringList box{"Configuration not saved: the device refused 10 value(s):"};
    const QString longKey = QStringLiteral("k").repeated(200);
    for (int i = 0; i < 10; ++i) {
        const QString key = i ? QStringLiteral("mystery%1").arg(i) : longKey;
        refused += ", \"" + key.toUtf8() + "\": 1";
        const QString line = QStringLiteral("/vkt/%1: Error: unknown path /vkt/%1").arg(key);
        if (box.size() <= 8)
            box << (line.size() > 160 ? line.left(159) + QChar(0x2026) : line);
    }
    box << "and 2 more"
        << "The other values are active but not stored.";
    QTest::newRow("load, values refused") << false << "file" << refused + "}}" << box;
}

void TestParameterFileCommands::unusableFiles()
{
    QFETCH(bool, save);
    QFETCH(QString, target);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, box);

    std::optional<SmallDisk> disk;
    if (target == "full disk") {
        disk.emplace();
        if (!disk->isMounted())
            QSKIP(qPrintable(disk->unavailableReason()));
    }
    const QDir dir(disk ? disk->path() : m_dir.path());
    const QString path = dir.filePath(target == "pipe" ? "settings.pipe" : "settings.par");
    QFile::remove(path); // a pipe an earlier row made
    if (target == "pipe") {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden);

    ConnectedWindow connected;
    QVERIFY(connectWindow(connected, "vkt"));
    const auto chosen = [path](QWidget *) { return path; };
    connected.window.askSaveFileName = chosen;
    connected.window.askOpenFileName = chosen;
    connected.sentSince(0);
    const int from = connected.sim.commands().size();
    if (save)
        connected.window.onFileSaveButtonClick();
    else
        connected.window.onFileOpenButtonClick();

    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text.split('\n'), box);
    QCOMPARE(connected.answerer.boxes()[0].title, QStringLiteral("VKT Dashboard"));
    const QStringList sent = connected.sentSince(from);
    QVERIFY2(!sent.contains("/saveConfig"), qPrintable(sent.join(' ')));
    // What stood at the path is there as it was, and nothing beside it.
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden), entries);
    QCOMPARE(QFileInfo(path).isFile(), target != "pipe");
    QFile file(path);
    QVERIFY(target == "pipe" || (file.open(QIODevice::ReadOnly) && file.readAll() == content));
}

QTEST_MAIN(TestParameterFileCommands)
#include "tst_parameterfilecommands.moc"
