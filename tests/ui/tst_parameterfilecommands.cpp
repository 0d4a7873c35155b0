#include "connectedwindow.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

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

private:
    // A connected window whose file dialogs answer with the test's parameter file.
    bool connectWindow(ConnectedWindow &connected, const QString &device);
    QByteArray readFile() const;
    void writeFile(const QByteArray &content);

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath(QStringLiteral("settings.par"));
};

void TestParameterFileCommands::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(m_dir.isValid());
}

bool TestParameterFileCommands::connectWindow(ConnectedWindow &connected, const QString &device)
{
    const auto fixedName = [this](QWidget *) { return m_file; };
    connected.window.askSaveFileName = fixedName;
    connected.window.askOpenFileName = fixedName;
    return connected.connect({"--device", device});
}

QByteArray TestParameterFileCommands::readFile() const
{
    QFile file(m_file);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestParameterFileCommands::writeFile(const QByteArray &content)
{
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
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
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("empty") << "vkt" << QByteArray();
    QTest::newRow("hbn missing on hbn unit")
        << "hbn" << QByteArray(R"({"vkt": {"softTouchForce": 0.3}})");
}

void TestParameterFileCommands::badFilesAreRefused()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, content);

    ConnectedWindow connected;
    QVERIFY(connectWindow(connected, device));
    writeFile(content);
    const int from = connected.sim.commands().size();
    connected.window.onFileOpenButtonClick();
    QCOMPARE(connected.answerer.boxes().size(), 1);
    QCOMPARE(connected.answerer.boxes()[0].text, QStringLiteral("Bad configuration file format!"));
    const QStringList sent = connected.sentSince(from);
    QVERIFY2(sent.filter("=").isEmpty() && !sent.contains("/saveConfig"),
             qPrintable(sent.join(' ')));
}

QTEST_MAIN(TestParameterFileCommands)
#include "tst_parameterfilecommands.moc"
