#include "mainwindow.h"
#include "modalanswerer.h"
#include "parameterfiledialogs.h"
#include "simprocess.h"

#include <QDir>
#include <QFileDialog>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// The set commands (PATH=VALUE) among the commands the simulator received from `from` on.
QStringList setCommandsSince(const SimProcess &sim, int from)
{
    QStringList sets;
    for (const QString &command : sim.commands().mid(from)) {
        if (command.contains(QLatin1Char('=')))
            sets << command;
    }
    return sets;
}

// Waits until every command sent so far has shown in the trace; returns the marker's index.
int syncTrace(MainWindow &window, SimProcess &sim)
{
    const int from = sim.commands().size();
    window.remoteDevice.sendCommand(QStringLiteral("/net/macAddress"));
    return sim.waitForCommand(QStringLiteral("/net/macAddress"), from);
}

} // namespace

class TestParameterFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saveThenLoadRoundTrip_data();
    void saveThenLoadRoundTrip();
    void failedReadKeepsExistingFile();
    void unwritablePlaceIsReported();
    void lostLinkDuringLoadIsReported();
    void badFilesAreRefused_data();
    void badFilesAreRefused();
    void missingFileIsReported();
    void nothingHappensWithoutDeviceOrName();
    void saveDialogAddsSuffix();
    void openDialogSharesCaption();

private:
    // A connected window on a fresh simulator; `dir` gets the parameter files.
    bool connectWindow(MainWindow &window, SimProcess &sim, const QStringList &arguments);
    void useFileName(MainWindow &window, const QString &path);

    QTemporaryDir m_dir;
};

void TestParameterFileCommands::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(m_dir.isValid());
}

bool TestParameterFileCommands::connectWindow(MainWindow &window, SimProcess &sim,
                                       const QStringList &arguments)
{
    return sim.start(arguments) && window.remoteDevice.connectDevice(sim.address())
            && window.remoteDevice.isConnected();
}

void TestParameterFileCommands::useFileName(MainWindow &window, const QString &path)
{
    const auto fixedName = [path](QWidget *) { return path; };
    window.askSaveFileName = fixedName;
    window.askOpenFileName = fixedName;
}

void TestParameterFileCommands::saveThenLoadRoundTrip_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QStringList>("rootKeys");

    QTest::newRow("hbn unit") << "hbn" << QStringList{"hbn", "vkt"};
    QTest::newRow("vkt alone") << "vkt" << QStringList{"vkt"};
}

void TestParameterFileCommands::saveThenLoadRoundTrip()
{
    QFETCH(QString, device);
    QFETCH(QStringList, rootKeys);

    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(connectWindow(window, sim, {"--device", device}));
    const QString path = m_dir.filePath(device + QStringLiteral(".par"));
    useFileName(window, path);

    window.onFileSaveButtonClick();
    QVERIFY(answerer.boxes().isEmpty());
    const QByteArray saved = readFile(path);
    QJsonObject document = QJsonDocument::fromJson(saved).object();
    QCOMPARE(document.keys(), rootKeys);
    QCOMPARE(document.value("vkt").toObject(),
             window.remoteDevice.sendCommand(QStringLiteral("/vkt/cfgObject")).toObject());
    QVERIFY(saved.contains("\n    \"vkt\": {\n        \""));

    // Change one setting in the file and bring it back into the device.
    QJsonObject vkt = document.value("vkt").toObject();
    QVERIFY(vkt.contains("softTouchForce"));
    QVERIFY(vkt.value("softTouchForce").toDouble() != 0.42);
    vkt.insert("softTouchForce", 0.42);
    document.insert("vkt", vkt);
    document.insert("comment", "ignored");
    writeFile(path, QJsonDocument(document).toJson());

    const int from = sim.commands().size();
    window.onFileOpenButtonClick();
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Information);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Configuration downloaded and saved!"));
    QCOMPARE(answerer.boxes()[0].parent, &window);

    const int marker = syncTrace(window, sim);
    QVERIFY(marker >= 0);
    const QStringList sets = setCommandsSince(sim, from);
    QVERIFY(!sets.isEmpty());
    QVERIFY2(sets.first().startsWith("/vkt/metricUnits="), qPrintable(sets.first()));
    QVERIFY(sets.contains("/vkt/softTouchForce=0.42"));
    QCOMPARE(sets.filter("/hbn/").isEmpty(), device != QLatin1String("hbn"));
    QVERIFY(sets.filter("comment").isEmpty());
    const QStringList all = sim.commands().mid(from, marker - from);
    const int saveIndex = all.indexOf("/saveConfig");
    QVERIFY(saveIndex > all.indexOf(sets.last()));
    QCOMPARE(all.contains("/vkt/saveConfig"), device == QLatin1String("hbn"));

    const QJsonObject loaded =
            window.remoteDevice.sendCommand(QStringLiteral("/vkt/cfgObject")).toObject();
    QCOMPARE(loaded.value("softTouchForce").toDouble(), 0.42);
}

void TestParameterFileCommands::failedReadKeepsExistingFile()
{
    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(connectWindow(window, sim, {"--device", "vkt"}));
    const QString path = m_dir.filePath(QStringLiteral("kept.par"));
    const QByteArray before = "{\n    \"vkt\": {\n        \"metricUnits\": 1\n    }\n}\n";
    writeFile(path, before);
    useFileName(window, path);

    // Polls must not find the silence first: the save itself has to meet it.
    window.remoteDevice.setPolling(false);
    QVERIFY(sim.control(QStringLiteral("silent on")));
    window.onFileSaveButtonClick();

    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Error reading configuration from device!"));
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(m_dir.path()).entryList({"kept.par*"}, QDir::Files | QDir::Hidden),
             QStringList{"kept.par"});
}

void TestParameterFileCommands::unwritablePlaceIsReported()
{
    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(connectWindow(window, sim, {"--device", "vkt"}));
    useFileName(window, m_dir.filePath(QStringLiteral("no-such-dir/settings.par")));

    window.onFileSaveButtonClick();
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Error saving file!"));
}

void TestParameterFileCommands::lostLinkDuringLoadIsReported()
{
    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(connectWindow(window, sim, {"--device", "vkt"}));
    const QString path = m_dir.filePath(QStringLiteral("lost.par"));
    writeFile(path, R"({"vkt": {"metricUnits": 1, "softTouchForce": 0.3}})");
    useFileName(window, path);

    window.remoteDevice.setPolling(false);
    QVERIFY(sim.control(QStringLiteral("silent on")));
    window.onFileOpenButtonClick();

    QVERIFY(!window.remoteDevice.isConnected());
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Connection lost: configuration not saved!"));
    QVERIFY(!sim.commands().contains("/saveConfig"));
}

void TestParameterFileCommands::badFilesAreRefused_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("empty") << "vkt" << QByteArray();
    QTest::newRow("not json") << "vkt" << QByteArray("vkt = 1");
    QTest::newRow("array") << "vkt" << QByteArray(R"([{"vkt": {"metricUnits": 1}}])");
    QTest::newRow("empty vkt") << "hbn" << QByteArray(R"({"vkt": {}, "hbn": {"net": {}}})");
    QTest::newRow("vkt not an object") << "vkt" << QByteArray(R"({"vkt": 5})");
    QTest::newRow("hbn missing on hbn unit")
            << "hbn" << QByteArray(R"({"vkt": {"softTouchForce": 0.3}})");
}

void TestParameterFileCommands::badFilesAreRefused()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, content);

    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(connectWindow(window, sim, {"--device", device}));
    const QString path = m_dir.filePath(QStringLiteral("bad.par"));
    writeFile(path, content);
    useFileName(window, path);

    const int from = sim.commands().size();
    window.onFileOpenButtonClick();
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Bad configuration file format!"));
    QCOMPARE(answerer.boxes()[0].title, QStringLiteral("VKT Dashboard"));

    const int marker = syncTrace(window, sim);
    QVERIFY(marker >= 0);
    QCOMPARE(setCommandsSince(sim, from), QStringList());
    QVERIFY(!sim.commands().mid(from).contains("/saveConfig"));
}

void TestParameterFileCommands::missingFileIsReported()
{
    SimProcess sim;
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(connectWindow(window, sim, {"--device", "vkt"}));
    useFileName(window, m_dir.filePath(QStringLiteral("missing.par")));

    window.onFileOpenButtonClick();
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.boxes()[0].text, QStringLiteral("Error opening file!"));
}

void TestParameterFileCommands::nothingHappensWithoutDeviceOrName()
{
    ModalAnswerer answerer;
    MainWindow window;
    int asked = 0;
    const auto countingName = [&asked](QWidget *) {
        ++asked;
        return QString();
    };
    window.askSaveFileName = countingName;
    window.askOpenFileName = countingName;

    window.onFileSaveButtonClick();
    window.onFileOpenButtonClick();
    QCOMPARE(asked, 0);
    QCOMPARE(answerer.boxes().size(), 2);
    for (const SeenBox &box : answerer.boxes()) {
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.text, QStringLiteral("VKT is not connected!"));
    }

    // Cancelled dialogs: nothing shown, nothing sent.
    SimProcess sim;
    QVERIFY(connectWindow(window, sim, {"--device", "vkt"}));
    const int from = sim.commands().size();
    window.onFileSaveButtonClick();
    window.onFileOpenButtonClick();
    QCOMPARE(asked, 2);
    QCOMPARE(answerer.boxes().size(), 2);
    QVERIFY(syncTrace(window, sim) >= 0);
    QVERIFY(!sim.commands().mid(from).contains("/vkt/cfgObject"));
    QVERIFY(setCommandsSince(sim, from).isEmpty());
}

namespace {

// What a file dialog showed, before the test chose a file in it.
struct SeenFileDialog
{
    QString caption;
    QStringList filters;
    QString directory;
    QString defaultSuffix;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
};

// Records the file dialog and accepts it with `path`; anything else is turned down.
ModalAnswerer::Handler chooseFile(const QString &path, SeenFileDialog *seen)
{
    return [path, seen](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            if (auto *other = qobject_cast<QDialog *>(modal))
                other->reject();
            return;
        }
        seen->caption = dialog->windowTitle();
        seen->filters = dialog->nameFilters();
        seen->directory = dialog->directory().absolutePath();
        seen->defaultSuffix = dialog->defaultSuffix();
        seen->acceptMode = dialog->acceptMode();
        seen->fileMode = dialog->fileMode();
        // Typed as the operator would: selectFile() races the dialog's file system model.
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (nameEdit)
            nameEdit->setText(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    };
}

} // namespace

void TestParameterFileCommands::saveDialogAddsSuffix()
{
    const QString typed = m_dir.filePath(QStringLiteral("settings"));
    SeenFileDialog seen;
    ModalAnswerer answerer(QMessageBox::Ok, chooseFile(typed, &seen));
    QWidget parent;

    QCOMPARE(ParameterFileDialogs::askSaveFileName(&parent), typed + QStringLiteral(".par"));
    QCOMPARE(answerer.handledCount(), 1);
    QCOMPARE(seen.caption, QStringLiteral("Save VKT Parameter File"));
    QCOMPARE(seen.filters, QStringList{"Parameter Files (*.par)"});
    QCOMPARE(seen.directory, QDir::home().absolutePath());
    QCOMPARE(seen.defaultSuffix, QStringLiteral("par"));
    QCOMPARE(seen.acceptMode, QFileDialog::AcceptSave);
}

void TestParameterFileCommands::openDialogSharesCaption()
{
    const QString existing = m_dir.filePath(QStringLiteral("present.par"));
    writeFile(existing, "{}");
    QWidget parent;
    {
        SeenFileDialog seen;
        ModalAnswerer answerer(QMessageBox::Ok, chooseFile(existing, &seen));
        QCOMPARE(ParameterFileDialogs::askOpenFileName(&parent), existing);
        QCOMPARE(seen.caption, QStringLiteral("Save VKT Parameter File"));
        QCOMPARE(seen.filters, QStringList{"Parameter Files (*.par)"});
        QCOMPARE(seen.directory, QDir::home().absolutePath());
        QCOMPARE(seen.acceptMode, QFileDialog::AcceptOpen);
        QCOMPARE(seen.fileMode, QFileDialog::ExistingFile);
    }
    // A cancelled dialog gives no name.
    ModalAnswerer canceller;
    QCOMPARE(ParameterFileDialogs::askOpenFileName(&parent), QString());
    QCOMPARE(canceller.handledCount(), 1);
}

QTEST_MAIN(TestParameterFileCommands)
#include "tst_parameterfilecommands.moc"
