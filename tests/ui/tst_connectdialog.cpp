#include "connectdialog.h"
#include "connectedwindow.h"
#include "privatenetwork.h"
#include "startupsequence.h"

#include <QAbstractEventDispatcher>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QJsonObject hbnIdentity{{"deviceName", "HBN-00031"}, {"modelName", "HBN-CORE"}};
constexpr int shortSearchPeriodMs = 150;

QStringList rowTexts(const QTreeWidget *list, int row)
{
    const QTreeWidgetItem *item = list->topLevelItem(row);
    return item ? QStringList{item->text(0), item->text(1), item->text(2)} : QStringList();
}

QStringList rows(const QTreeWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << rowTexts(list, row).join(QLatin1Char('|'));
    return texts;
}

// Reports a device the way the discovery's worker thread does: from another thread.
void reportFromWorker(ConnectDialog &dialog, const QJsonObject &identity, const QString &address)
{
    QThread *worker = QThread::create(
        [&dialog, identity, address] { emit dialog.discover.deviceDiscovered(identity, address); });
    worker->start();
    worker->wait();
    delete worker;
}

QPoint rowCentre(const QTreeWidget *list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}

bool okEnabled(const ConnectDialog &dialog)
{
    return dialog.buttonBox->button(QDialogButtonBox::Ok)->isEnabled();
}

bool isSearching(const ConnectDialog &dialog)
{
    return !dialog.searchIcon->isHidden() && dialog.refreshButton->isHidden()
           && dialog.searchIcon->movie() && dialog.searchIcon->movie()->state() == QMovie::Running;
}

// Chooses `interface` and `address` in the dialog the way an operator does, then presses OK;
// an address of "cancel" presses Cancel instead.
void answerDialog(QDialog *modal, const QString &interface, const QString &address)
{
    auto *dialog = qobject_cast<ConnectDialog *>(modal);
    if (!dialog) {
        modal->reject();
        return;
    }
    if (address == QLatin1String("cancel")) {
        dialog->buttonBox->button(QDialogButtonBox::Cancel)->click();
        return;
    }
    dialog->interfaceSelect->setCurrentText(interface);
    // Typed and taken back, so that an empty address enables OK as well.
    QTest::keyClicks(dialog->manualAddress, address + QLatin1Char('x'));
    QTest::keyClick(dialog->manualAddress, Qt::Key_Backspace);
    dialog->buttonBox->button(QDialogButtonBox::Ok)->click();
}

// Ends the program's main event loop with `status` once `inMainLoop` holds, never the loop of
// a dialog or message box before it.
void exitMainLoop(QObject *context, int status, const std::function<bool()> &inMainLoop)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [status, inMainLoop] {
        if (inMainLoop())
            QCoreApplication::exit(status);
    });
    timer->start(20);
}

} // namespace

class TestConnectDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opening();
    void deviceListed_data();
    void deviceListed();
    void doubleClickAccepts();
    void searchPeriodAndRefresh();
    void chosenDevice_data();
    void chosenDevice();
    void restartedDeviceAgainThroughTheDialog_data();
    void restartedDeviceAgainThroughTheDialog();
};

void TestConnectDialog::initTestCase()
{
    // Opening the dialog broadcasts; that must stay off the host's network.
    if (!PrivateNetwork::isInside())
        QSKIP(qPrintable(QStringLiteral("no private network namespace for the broadcast: ")
                         + PrivateNetwork::unavailableReason()));
    Q_INIT_RESOURCE(resources);
}

void TestConnectDialog::opening()
{
    ConnectDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("VKT Dashboard"));
    QVERIFY(!dialog.windowIcon().isNull());
    QCOMPARE(dialog.deviceList->topLevelItemCount(), 0);
    const QTreeWidgetItem *header = dialog.deviceList->headerItem();
    QCOMPARE((QStringList{header->text(0), header->text(1), header->text(2)}),
             (QStringList{"Name", "Type", "Address"}));
    QCOMPARE(dialog.interfaceSelect->count(), 2);
    QCOMPARE(dialog.interfaceSelect->itemText(1), QStringLiteral("usb://"));
    QCOMPARE(dialog.interfaceSelect->currentText(), QStringLiteral("network://"));
    QCOMPARE(dialog.manualAddress->text(), QString());
    QVERIFY(!okEnabled(dialog));
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Searching for devices..."));
    QVERIFY(isSearching(dialog));

    // One coarse timer of the full search period.
    const QList<QAbstractEventDispatcher::TimerInfo> timers =
        QAbstractEventDispatcher::instance()->registeredTimers(&dialog);
    QCOMPARE(timers.size(), 1);
    QCOMPARE(timers[0].interval, 5000);
    QCOMPARE(timers[0].timerType, Qt::CoarseTimer);
}

void TestConnectDialog::deviceListed_data()
{
    QTest::addColumn<QJsonObject>("identity");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("field");

    QTest::newRow("network") << hbnIdentity << "network://10.0.0.31"
                             << QStringList{"HBN-00031", "HBN-CORE", "network://10.0.0.31"}
                             << "network://"
                             << "10.0.0.31";
    QTest::newRow("pseudo-terminal, keys missing")
        << QJsonObject{{"other", 1}} << "usb:///dev/pts/4"
        << QStringList{"", "", "usb:///dev/pts/4"} << "usb://"
        << "/dev/pts/4";
    // One short line whatever a host calls itself: control characters written out, cut at 64.
    QTest::newRow("name that would break the row")
        << QJsonObject{{"deviceName", "HBN\n\x1b[2J" + QString(100, 'x')}, {"modelName", "M"}}
        << "network://10.0.0.9"
        << QStringList{"HBN\\x0a\\x1b[2J" + QString(49, 'x') + QChar(0x2026), "M",
                       "network://10.0.0.9"}
        << "network://"
        << "10.0.0.9";
}

void TestConnectDialog::deviceListed()
{
    QFETCH(QJsonObject, identity);
    QFETCH(QString, address);
    QFETCH(QStringList, row);
    QFETCH(QString, interface);
    QFETCH(QString, field);

    ConnectDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The other interface beforehand, so that the click has to choose.
    dialog.interfaceSelect->setCurrentIndex(interface == "usb://" ? 0 : 1);

    reportFromWorker(dialog, identity, address);
    QTRY_COMPARE(dialog.deviceList->topLevelItemCount(), 1);
    QCOMPARE(rowTexts(dialog.deviceList, 0), row);
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Select Device:"));
    // Listing a device fills in nothing.
    QCOMPARE(dialog.manualAddress->text(), QString());
    QVERIFY(!okEnabled(dialog));

    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {},
                      rowCentre(dialog.deviceList, 0));
    QCOMPARE(dialog.manualAddress->text(), field);
    QCOMPARE(dialog.interfaceSelect->currentText(), interface);
    QVERIFY(okEnabled(dialog));
    QCOMPARE(dialog.deviceAddress(), address);

    QSignalSpy edits(dialog.manualAddress, &QLineEdit::textChanged);
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {},
                      rowCentre(dialog.deviceList, 0));
    QCOMPARE(edits.count(), 0);
    QVERIFY(dialog.isVisible());
}

void TestConnectDialog::doubleClickAccepts()
{
    ConnectDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Every report is a row of its own, in the order they came; the first is current.
    for (const char *address : {"network://10.0.0.31", "network://10.0.0.32", "usb://COM3"})
        dialog.onDeviceDiscovered(hbnIdentity, address);
    QCOMPARE(rows(dialog.deviceList), (QStringList{"HBN-00031|HBN-CORE|network://10.0.0.31",
                                                   "HBN-00031|HBN-CORE|network://10.0.0.32",
                                                   "HBN-00031|HBN-CORE|usb://COM3"}));
    QCOMPARE(dialog.deviceList->currentItem(), dialog.deviceList->topLevelItem(0));
    // As the window system delivers a double click: a click, then the double click itself.
    const QPoint row = rowCentre(dialog.deviceList, 2);
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {}, row);
    QVERIFY(dialog.isVisible());
    QTest::mouseDClick(dialog.deviceList->viewport(), Qt::LeftButton, {}, row);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("usb://COM3"));
}

void TestConnectDialog::searchPeriodAndRefresh()
{
    ConnectDialog dialog(shortSearchPeriodMs);
    QSignalSpy probes(&dialog.discover, &QThread::started);
    dialog.onDeviceDiscovered(hbnIdentity, QStringLiteral("network://10.0.0.31"));
    QTest::keyClicks(dialog.manualAddress, QStringLiteral("vkt.local"));

    QTRY_VERIFY(!dialog.refreshButton->isHidden());
    QVERIFY(dialog.searchIcon->isHidden());
    QCOMPARE(dialog.searchIcon->movie()->state(), QMovie::NotRunning);
    QVERIFY(QAbstractEventDispatcher::instance()->registeredTimers(&dialog).isEmpty());
    // Late answers are still listed.
    dialog.onDeviceDiscovered(hbnIdentity, QStringLiteral("usb://COM3"));
    QCOMPARE(dialog.deviceList->topLevelItemCount(), 2);
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Select Device:"));

    QTRY_VERIFY(dialog.discover.isFinished());
    const int probesBefore = probes.count();
    dialog.refreshButton->click();
    QCOMPARE(dialog.deviceList->topLevelItemCount(), 0);
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Searching for devices..."));
    QVERIFY(isSearching(dialog));
    QTRY_COMPARE(probes.count(), probesBefore + 1);
    // A refresh keeps what the operator typed, and OK stays enabled.
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("network://vkt.local"));
    QVERIFY(okEnabled(dialog));

    // A search started while one runs replaces its period instead of adding a second.
    dialog.startDiscovery();
    QCOMPARE(QAbstractEventDispatcher::instance()->registeredTimers(&dialog).size(), 1);
    QTRY_VERIFY(!dialog.refreshButton->isHidden());
}

void TestConnectDialog::chosenDevice_data()
{
    QTest::addColumn<bool>("atStartup"); // or from the button of a window on another device
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("address"); // "sim": a simulated device of its own
    QTest::addColumn<QString>("box");

    const auto row = [](const char *name, bool atStartup, const QString &interface,
                        const QString &address, const QString &box = QString()) {
        QTest::newRow(name) << atStartup << interface << address << box;
    };
    row("start-up, cancelled", true, "network://", "cancel");
    row("start-up, empty address", true, "network://", "",
        "Error connecting to \"network://\"\nNo host name given");
    row("start-up, serial device", true, "usb://", "sim");
    row("button, cancelled", false, "usb://", "cancel");
    row("button, network device", false, "network://", "sim");
    row("button, port that does not open", false, "usb://", "/nonexistent/ttyVKT",
        "Error connecting to \"usb:///nonexistent/ttyVKT\"\nNo such file or directory");
}

void TestConnectDialog::chosenDevice()
{
    QFETCH(bool, atStartup);
    QFETCH(QString, interface);
    QFETCH(QString, address);
    QFETCH(QString, box);

    ConnectedWindow connected;
    MainWindow &window = connected.window;
    if (!atStartup)
        QVERIFY(connected.connect({}));
    SimProcess chosen;
    const bool toSim = address == "sim";
    if (toSim && interface == "usb://") {
        QVERIFY(chosen.start(SimProcess::serialOnly()));
        address = chosen.serialPath();
    } else if (toSim) {
        QVERIFY(chosen.start(
            {"--no-tcp", "--device", "vkt", "--udp-address", SimProcess::uniqueLoopbackAddress()}));
        address = chosen.networkAddress().remove(interface);
    }
    // The window stands disconnected while the dialog is open: shown at start-up, and the
    // earlier link ended first on the button.
    bool shownDisconnected = false;
    bool answered = false;
    QPointer<QDialog> seenDialog;
    connected.answerer.setDialogHandler([&](QDialog *dialog) {
        shownDisconnected = window.isVisible() == atStartup && !window.remoteDevice.isConnected()
                            && window.connectionButton->text() == QLatin1String("CONNECT");
        seenDialog = dialog;
        answered = true;
        answerDialog(dialog, interface, address);
    });
    if (atStartup) {
        // The dialog is gone, after any failure box, just before the main loop starts.
        exitMainLoop(&window, 7, [&] { return answered && !seenDialog; });
        QCOMPARE(StartupSequence::run(window, std::nullopt), 7);
    } else {
        QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    }
    QVERIFY(shownDisconnected);
    QCOMPARE(window.remoteDevice.isConnected(), toSim);
    QCOMPARE(connected.answerer.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        QCOMPARE(connected.answerer.boxes()[0].text, box);
        QCOMPARE(connected.answerer.boxes()[0].title, QStringLiteral("VKT Dashboard"));
        QCOMPARE(connected.answerer.boxes()[0].parent, atStartup ? nullptr : &window);
    }
    if (toSim) {
        // The chosen device drives the window, over the transport its address names.
        QCOMPARE(window.connectionButton->text(),
                 window.remoteDevice.deviceIdRecord().value("deviceName").toString());
        QCOMPARE(window.remoteDevice.transport() == window.remoteDevice.udpSocket(),
                 interface == "network://");
        QVERIFY(chosen.waitForCommand(QStringLiteral("/stateObject")) >= 0);
    }
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QApplication, TestConnectDialog)

void TestConnectDialog::restartedDeviceAgainThroughTheDialog_data()
{
    QTest::addColumn<QString>("interface");
    QTest::newRow("serial") << "usb://";
    QTest::newRow("network") << "network://";
}

// A device that is killed and comes back at the same address: the window shows it gone, and the
// operator's CONNECT through the dialog brings the window back to life.
void TestConnectDialog::restartedDeviceAgainThroughTheDialog()
{
    QFETCH(QString, interface);
    const bool serial = interface == "usb://";
    QTemporaryDir linkDir;
    const QStringList simArguments =
        serial ? SimProcess::serialOnly() + QStringList{"--link", linkDir.filePath("vkt")}
               : QStringList{"--no-tcp", "--udp-address", SimProcess::uniqueLoopbackAddress()};
    const QString address = serial ? linkDir.filePath("vkt") : simArguments.constLast();

    ConnectedWindow connected;
    MainWindow &window = connected.window;
    SimProcess first;
    QVERIFY(first.start(simArguments));
    // The same position before and after: the first poll of the new link must still show it.
    QVERIFY(first.control("state actualPosition 12.5"));
    QVERIFY(window.remoteDevice.connectDevice(interface + address));
    QTRY_COMPARE(window.positionGauge->value, 12.5);
    const QString deviceName = window.connectionButton->text();
    const QString toolName = window.toolTypeLabel->text();
    QVERIFY(deviceName != "CONNECT" && toolName != "NONE");

    first.kill();
    QTRY_COMPARE_WITH_TIMEOUT(window.connectionButton->text(), QStringLiteral("CONNECT"), 3000);
    QCOMPARE(window.toolTypeLabel->text(), QStringLiteral("NONE"));
    QCOMPARE(window.positionGauge->value, 0.0);
    QVERIFY(!window.fileSaveButton->isEnabled());

    SimProcess restarted;
    QVERIFY(restarted.start(simArguments));
    QVERIFY(restarted.control("state actualPosition 12.5"));
    connected.answerer.setDialogHandler(
        [&](QDialog *dialog) { answerDialog(dialog, interface, address); });
    QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    QVERIFY(window.remoteDevice.isConnected());
    QCOMPARE(window.connectionButton->text(), deviceName);
    QCOMPARE(window.toolTypeLabel->text(), toolName);
    QVERIFY(window.fileSaveButton->isEnabled());
    QTRY_COMPARE(window.positionGauge->value, 12.5);
    QVERIFY(restarted.waitForCommand(QStringLiteral("/stateObject")) >= 0);
    QVERIFY(connected.answerer.boxes().isEmpty());
}

#include "tst_connectdialog.moc"
