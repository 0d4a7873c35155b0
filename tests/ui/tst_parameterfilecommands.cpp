#include "connectedwindow.h"
#include "smalldisk.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

// Saving the device's configuration to a parameter file and loading one into the device, from
// the main window's buttons.
class TestParameterFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void saveThenLoadRoundTrip_data();
    void saveThenLoadRoundTrip();
    void unusableFiles_data();
    void unusableFiles();

private:
    // A connected window whose file dialogs answer with `path`, or the test's parameter file.
    bool connectWindow(ConnectedWindow &connected, const QString &device, QString path = {})
    {
        path = path.isEmpty() ? m_file : path;
        connected.answerer.chooseFile(path);
        return connected.connect({"--device", device});
    }
    QByteArray readFile(const QString &path = {}) const
    {
        QFile file(path.isEmpty() ? m_file : path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath("settings.par");
};

void TestParameterFileCommands::saveThenLoadRoundTrip_data()
{
    QTest::addColumn<QString>("device");
    QTest::newRow("hbn unit") << "hbn";
    QTest::newRow("vkt alone") << "vkt";
}

void TestParameterFileCommands::saveThenLoadRoundTrip()
{
    QFETCH(QString, device);
    const bool hbn = device == "hbn";
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(connectWindow(connected, device));
    window.onFileSaveButtonClick();
    QVERIFY(connected.answerer.boxes().isEmpty());
    QJsonObject document = QJsonDocument::fromJson(readFile()).object();
    QCOMPARE(document.keys(), hbn ? QStringList({"hbn", "vkt"}) : QStringList({"vkt"}));
    QJsonObject vkt = document.value("vkt").toObject();
    QCOMPARE(vkt, window.remoteDevice.sendCommand("/vkt/cfgObject").toObject());

    // One setting changed in the file and brought back into the device, stored at the end.
    QVERIFY(vkt.value("softTouchForce").toDouble() != 0.42);
    vkt.insert("softTouchForce", 0.42);
    document.insert("vkt", vkt);
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(document).toJson()) > 0);
    file.close();
    const int from = connected.sim.commands().size();
    window.onFileOpenButtonClick();
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text,
             QStringLiteral("Configuration downloaded and saved!"));
    const QStringList sent = connected.sentSince(from);
    const QStringList sets = sent.filter("=");
    QVERIFY(sets.contains("/vkt/softTouchForce=0.42"));
    QCOMPARE(sets.filter("/hbn/").isEmpty(), !hbn);
    QVERIFY(sent.indexOf("/saveConfig") > sent.indexOf(sets.last()));
    QCOMPARE(window.remoteDevice.sendCommand("/vkt/cfgObject").toObject().value("softTouchForce"),
             QJsonValue(0.42));
}

void TestParameterFileCommands::unusableFiles_data()
{
    // `target`: "full disk" (a file that fills it, to be replaced), "pipe" (a named pipe), or a
    // file holding `content`, which a "silent" device leaves as it is.
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("box");      // its lines
    QTest::addColumn<QStringList>("settings"); // the settings and saves the device received
    // A dead link ends; no half-written copy is left beside the file.
    QTest::newRow("save, silent device")
        << true << "silent" << QByteArray("{}")
        << QStringList{"Error reading configuration from device!"} << QStringList();
    QTest::newRow("load, silent device")
        << false << "silent" << QByteArray(R"({"vkt": {"softTouchForce": 0.5}})")
        << QStringList{"Connection lost: configuration not saved!"}
        << QStringList{"/vkt/softTouchForce=0.5"};
    QTest::newRow("save onto a full disk")
        << true << "full disk" << QByteArray(SmallDisk::sizeBytes, 'x')
        << QStringList{"Error saving file!", "No space left on device"} << QStringList();
    // Settled whole before anything is sent: it would turn one setting into two commands.
    QTest::newRow("load, CR LF in a key")
        << false << "file" << QByteArray(R"({"vkt": {"softTouchForce\r\nflashfirmware": 0.3}})")
        << QStringList{"Bad configuration file format!"} << QStringList();
    // Opened, it would hold the window until something wrote to it.
    QTest::newRow("load a named pipe")
        << false << "pipe" << QByteArray()
        << QStringList{"Error opening file!", "not a regular file"} << QStringList();
    // Every value goes and the device keeps those it took; nothing is stored.
    QTest::newRow("load, values refused")
        << false << "file" << QByteArray(R"({"vkt": {"mystery": 1, "softTouchForce": 0.5}})")
        << QStringList{"Configuration not saved: the device refused 1 value(s):",
                       "/vkt/mystery: Error: unknown path /vkt/mystery",
                       "The other values are active but not stored."}
        << QStringList{"/vkt/mystery=1", "/vkt/softTouchForce=0.5"};
}

void TestParameterFileCommands::unusableFiles()
{
    QFETCH(bool, save);
    QFETCH(QString, target);
    QFETCH(QByteArray, content);
    std::optional<SmallDisk> disk;
    if (target == "full disk" && !disk.emplace().unavailableReason().isEmpty())
        QSKIP(qPrintable(disk->unavailableReason()));
    const QDir dir(disk ? disk->path() : m_dir.path());
    const QString path = dir.filePath(target == "pipe" ? "settings.pipe" : "settings.par");
    QFile::remove(path);
    if (target == "pipe") {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
    ConnectedWindow connected;
    QVERIFY(connectWindow(connected, "vkt", path));
    const int from = connected.sim.commands().size();
    // Polls must not find the silence first: the file command itself has to meet it.
    connected.window.remoteDevice.setPolling(target != "silent");
    QVERIFY(target != "silent" || connected.sim.control("silent on"));
    save ? connected.window.onFileSaveButtonClick() : connected.window.onFileOpenButtonClick();
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QTEST(connected.answerer.boxes()[0].text.split('\n'), "box");
    QCOMPARE(connected.window.remoteDevice.isConnected(), target != "silent");
    const QStringList sent =
        target == "silent" ? connected.sim.commands().mid(from) : connected.sentSince(from);
    QTEST(sent.filter(QRegularExpression("=|saveConfig")), "settings");
    // What stood at the path is there as it was, and nothing beside it.
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden), entries);
    QCOMPARE(QFileInfo(path).isFile(), target != "pipe");
    QVERIFY(target == "pipe" || readFile(path) == content);
}

QTEST_MAIN(TestParameterFileCommands)
#include "tst_parameterfilecommands.moc"
