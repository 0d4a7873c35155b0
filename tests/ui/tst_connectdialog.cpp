#include "connectdialog.h"
#include "connectedwindow.h"
#include "privatenetwork.h"
#include "startupsequence.h"

#include <QAbstractEventDispatcher>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

const QJsonObject hbnIdentity{{"deviceName", "HBN-00031"}, {"modelName", "HBN-CORE"}};

QStringList rows(const QTreeWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        texts << QStringList{item->text(0), item->text(1), item->text(2)}.join('|');
    }
    return texts;
}

QPoint rowCentre(const QTreeWidget *list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}

bool okEnabled(const ConnectDialog &dialog)
{
    return dialog.buttonBox->button(QDialogButtonBox::Ok)->isEnabled();
}

// The radar turning, and no refresh button, while a search runs.
bool isSearching(const ConnectDialog &dialog)
{
    return !dialog.searchIcon->isHidden() && dialog.refreshButton->isHidden()
           && dialog.searchIcon->movie()->state() == QMovie::Running
           && dialog.statusLabel->text() == "Searching for devices...";
}

// Chooses `interface` and types `address` as an operator does, then presses OK; an address of
// "cancel" presses Cancel instead.
void answerDialog(QDialog *modal, const QString &interface, const QString &address)
{
    auto *dialog = qobject_cast<ConnectDialog *>(modal);
    if (!dialog || address == "cancel") {
        modal->reject();
        return;
    }
    dialog->interfaceSelect->setCurrentText(interface);
    QTest::keyClicks(dialog->manualAddress, address);
    dialog->buttonBox->button(QDialogButtonBox::Ok)->click();
}

} // namespace

// Opening the dialog broadcasts: it runs inside a network namespace of its own.
class TestConnectDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deviceListed_data();
    void deviceListed();
    void doubleClickAccepts();
    void searchPeriodAndRefresh();
    void chosenDevice_data();
    void chosenDevice();
};

void TestConnectDialog::initTestCase()
{
    VKT_REQUIRE_PRIVATE_NETWORK();
    Q_INIT_RESOURCE(resources);
}

void TestConnectDialog::deviceListed_data()
{
    QTest::addColumn<QJsonObject>("identity");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("field");
    // One short line whatever a host calls itself: control characters written out, cut at 64.
    QTest::newRow("network, a name that would break the row")
        << QJsonObject{{"deviceName", "HBN\n\x1b[2J" + QString(100, 'x')}, {"modelName", "M"}}
        << "network://10.0.0.9"
        << "HBN\\x0a\\x1b[2J" + QString(49, 'x') + QChar(0x2026) + "|M|network://10.0.0.9"
        << "network://"
        << "10.0.0.9";
    QTest::newRow("pseudo-terminal") << hbnIdentity << "usb:///dev/pts/4"
                                     << "HBN-00031|HBN-CORE|usb:///dev/pts/4"
                                     << "usb://"
                                     << "/dev/pts/4";
}

void TestConnectDialog::deviceListed()
{
    QFETCH(QJsonObject, identity);
    QFETCH(QString, address);
    QFETCH(QString, interface);
    ConnectDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(isSearching(dialog) && !okEnabled(dialog));
    // The other interface beforehand, so that the click has to choose.
    dialog.interfaceSelect->setCurrentIndex(interface == "usb://" ? 0 : 1);
    // Reported as the discovery's worker thread reports.
    QThread *worker =
        QThread::create([&] { emit dialog.discover.deviceDiscovered(identity, address); });
    worker->start();
    worker->wait();
    delete worker;
    QTRY_COMPARE(dialog.deviceList->topLevelItemCount(), 1);
    QTEST(rows(dialog.deviceList).constFirst(), "row");
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Select Device:"));
    // Listing a device fills in nothing; a click on it does.
    QVERIFY(dialog.manualAddress->text().isEmpty() && !okEnabled(dialog));
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {},
                      rowCentre(dialog.deviceList, 0));
    QTEST(dialog.manualAddress->text(), "field");
    QCOMPARE(dialog.interfaceSelect->currentText(), interface);
    QVERIFY(okEnabled(dialog));
    QCOMPARE(dialog.deviceAddress(), address);
    QSignalSpy edits(dialog.manualAddress, &QLineEdit::textChanged);
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {},
                      rowCentre(dialog.deviceList, 0));
    QCOMPARE(edits.count(), 0);
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
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {},
                      rowCentre(dialog.deviceList, 2));
    QVERIFY(dialog.isVisible());
    QTest::mouseDClick(dialog.deviceList->viewport(), Qt::LeftButton, {},
                       rowCentre(dialog.deviceList, 2));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("usb://COM3"));
}

void TestConnectDialog::searchPeriodAndRefresh()
{
    ConnectDialog dialog(150);
    QSignalSpy probes(&dialog.discover, &QThread::started);
    dialog.onDeviceDiscovered(hbnIdentity, "network://10.0.0.31");
    QTest::keyClicks(dialog.manualAddress, "vkt.local");
    QTRY_VERIFY(!dialog.refreshButton->isHidden());
    QVERIFY(dialog.searchIcon->isHidden());
    QCOMPARE(dialog.searchIcon->movie()->state(), QMovie::NotRunning);
    // Late answers are still listed.
    dialog.onDeviceDiscovered(hbnIdentity, "usb://COM3");
    QCOMPARE(dialog.deviceList->topLevelItemCount(), 2);
    QTRY_VERIFY(dialog.discover.isFinished());
    const int probesBefore = probes.count();
    dialog.refreshButton->click();
    QCOMPARE(dialog.deviceList->topLevelItemCount(), 0);
    QVERIFY(isSearching(dialog));
    QTRY_COMPARE(probes.count(), probesBefore + 1);
    // A refresh keeps what the operator typed, and OK stays enabled.
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("network://vkt.local"));
    QVERIFY(okEnabled(dialog));
    // A search started while one runs replaces its period instead of adding a second.
    dialog.startDiscovery();
    QCOMPARE(QAbstractEventDispatcher::instance()->registeredTimers(&dialog).size(), 1);
}

void TestConnectDialog::chosenDevice_data()
{
    QTest::addColumn<bool>("atStartup"); // or from the button of a window on another device
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("address"); // "sim": a simulated device of its own
    QTest::addColumn<QString>("box");
    QTest::newRow("start-up, cancelled") << true << "network://"
                                         << "cancel"
                                         << "";
    QTest::newRow("start-up, serial device") << true << "usb://"
                                             << "sim"
                                             << "";
    QTest::newRow("button, network device") << false << "network://"
                                            << "sim"
                                            << "";
    QTest::newRow("button, port that does not open")
        << false << "usb://"
        << "/nonexistent/ttyVKT"
        << "Error connecting to \"usb:///nonexistent/ttyVKT\"\nNo such file or directory";
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
        QVERIFY(chosen.start({"--no-tcp", "--udp-address", SimProcess::uniqueLoopbackAddress()}));
        address = chosen.networkAddress().remove(interface);
    }
    // The window stands disconnected while the dialog is open: shown at start-up, and the
    // earlier link ended first on the button.
    bool shownDisconnected = false;
    bool answered = false;
    QPointer<QDialog> open;
    connected.answerer.setDialogHandler([&](QDialog *dialog) {
        shownDisconnected = window.isVisible() == atStartup && !window.remoteDevice.isConnected();
        open = dialog;
        answered = true;
        answerDialog(dialog, interface, address);
    });
    if (atStartup) {
        // The main loop starts once the dialog is gone, after any failure box.
        QTimer poll;
        connect(&poll, &QTimer::timeout, this,
                [&] { answered && !open ? QCoreApplication::exit(7) : void(); });
        poll.start(20);
        QCOMPARE(StartupSequence::run(window, std::nullopt), 7);
    } else {
        QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    }
    QVERIFY(shownDisconnected);
    QCOMPARE(window.remoteDevice.isConnected(), toSim);
    QCOMPARE(connected.answerer.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QCOMPARE(connected.answerer.boxes()[0].text, box);
    // The chosen device drives the window, over the transport its address names.
    QVERIFY(!toSim || chosen.waitForCommand("/stateObject") >= 0);
    QCOMPARE(window.remoteDevice.transport() == window.remoteDevice.udpSocket(),
             toSim && interface == "network://");
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QApplication, TestConnectDialog)
#include "tst_connectdialog.moc"
