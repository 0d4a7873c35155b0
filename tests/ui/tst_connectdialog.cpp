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
        texts << item->text(0) + '|' + item->text(1) + '|' + item->text(2);
    }
    return texts;
}

void clickRow(ConnectDialog &dialog, int row, bool twice = false)
{
    const QPoint at =
        dialog.deviceList->visualItemRect(dialog.deviceList->topLevelItem(row)).center();
    QTest::mouseClick(dialog.deviceList->viewport(), Qt::LeftButton, {}, at);
    if (twice) // as the window system delivers a double click: a click, then the double click
        QTest::mouseDClick(dialog.deviceList->viewport(), Qt::LeftButton, {}, at);
}

bool okEnabled(const ConnectDialog &dialog)
{
    return dialog.buttonBox->button(QDialogButtonBox::Ok)->isEnabled();
}

bool isSearching(const ConnectDialog &dialog)
{
    return !dialog.searchIcon->isHidden() && dialog.refreshButton->isHidden()
           && dialog.searchIcon->movie()->state() == QMovie::Running
           && dialog.statusLabel->text() == "Searching for devices...";
}

} // namespace

// Opening the dialog broadcasts: it runs inside a network namespace of its own.
class TestConnectDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VKT_REQUIRE_PRIVATE_NETWORK();
        Q_INIT_RESOURCE(resources);
    }
    void deviceListed_data();
    void deviceListed();
    void searchPeriodAndRefresh();
    void chosenDevice_data();
    void chosenDevice();
};

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

// A report from the discovery's worker thread is listed; a click on it fills in its address, a
// double click takes it.
void TestConnectDialog::deviceListed()
{
    QFETCH(QJsonObject, identity);
    QFETCH(QString, address);
    QFETCH(QString, interface);
    ConnectDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(isSearching(dialog) && !okEnabled(dialog));
    dialog.interfaceSelect->setCurrentIndex(interface == "usb://" ? 0 : 1); // the other one
    QThread *worker =
        QThread::create([&] { emit dialog.discover.deviceDiscovered(identity, address); });
    worker->start();
    worker->wait();
    delete worker;
    QTRY_COMPARE(rows(dialog.deviceList).size(), 1);
    dialog.onDeviceDiscovered(hbnIdentity, "usb://COM3");
    QTEST(rows(dialog.deviceList).constFirst(), "row");
    QCOMPARE(dialog.deviceList->currentItem(), dialog.deviceList->topLevelItem(0));
    QCOMPARE(dialog.statusLabel->text(), QStringLiteral("Select Device:"));
    QVERIFY(dialog.manualAddress->text().isEmpty() && !okEnabled(dialog));
    clickRow(dialog, 0);
    QTEST(dialog.manualAddress->text(), "field");
    QVERIFY(dialog.interfaceSelect->currentText() == interface && okEnabled(dialog));
    QCOMPARE(dialog.deviceAddress(), address);
    clickRow(dialog, 1, true);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.deviceAddress(), QStringLiteral("usb://COM3"));
}

void TestConnectDialog::searchPeriodAndRefresh()
{
    ConnectDialog dialog(150);
    QSignalSpy probes(&dialog.discover, &QThread::started);
    QTest::keyClicks(dialog.manualAddress, "vkt.local");
    QTRY_VERIFY(!dialog.refreshButton->isHidden());
    QVERIFY(dialog.searchIcon->isHidden()
            && dialog.searchIcon->movie()->state() == QMovie::NotRunning);
    dialog.onDeviceDiscovered(hbnIdentity, "usb://COM3"); // late answers are still listed
    QCOMPARE(dialog.deviceList->topLevelItemCount(), 1);
    QTRY_VERIFY(dialog.discover.isFinished());
    dialog.refreshButton->click();
    QVERIFY(isSearching(dialog) && dialog.deviceList->topLevelItemCount() == 0);
    QTRY_COMPARE(probes.count(), 2);
    // A refresh keeps what the operator typed, and OK stays enabled.
    QVERIFY(dialog.deviceAddress() == "network://vkt.local" && okEnabled(dialog));
    // A search started while one runs replaces its period instead of adding a second.
    dialog.startDiscovery();
    QCOMPARE(QAbstractEventDispatcher::instance()->registeredTimers(&dialog).size(), 1);
}

void TestConnectDialog::chosenDevice_data()
{
    QTest::addColumn<bool>("atStartup"); // or from the button of a window on another device
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("address"); // "sim": a simulated device's; empty: Cancel
    QTest::addColumn<QString>("box");
    QTest::newRow("start-up, cancelled") << true << "network://"
                                         << ""
                                         << "";
    QTest::newRow("button, network device") << false << "network://"
                                            << "sim"
                                            << "";
    QTest::newRow("button, port that does not open")
        << false << "usb://"
        << "/nonexistent/ttyVKT"
        << "Error connecting to \"usb:///nonexistent/ttyVKT\"\nNo such file or directory";
}

// The window stands disconnected while the dialog is open: shown at start-up, the earlier link
// ended first on the button. The chosen device drives the window, over the transport it names.
void TestConnectDialog::chosenDevice()
{
    QFETCH(bool, atStartup);
    QFETCH(QString, interface);
    QFETCH(QString, address);
    ConnectedWindow connected;
    MainWindow &window = connected.window;
    QVERIFY(atStartup || connected.connect({}));
    SimProcess chosen;
    if (address == "sim") {
        QVERIFY(chosen.start({"--no-tcp", "--udp-address", SimProcess::uniqueLoopbackAddress()}));
        address = chosen.networkAddress().remove(interface);
    }
    bool shownDisconnected = false;
    bool answered = false;
    QPointer<QDialog> open;
    connected.answerer.setDialogHandler([&](QDialog *modal) {
        auto *dialog = qobject_cast<ConnectDialog *>(modal);
        shownDisconnected = window.isVisible() == atStartup && !window.remoteDevice.isConnected();
        answered = true;
        open = modal;
        if (!dialog || address.isEmpty())
            return modal->reject();
        dialog->interfaceSelect->setCurrentText(interface);
        QTest::keyClicks(dialog->manualAddress, address);
        dialog->buttonBox->button(QDialogButtonBox::Ok)->click();
    });
    if (atStartup) { // the main loop starts once the dialog is gone, after any failure box
        QTimer poll;
        connect(&poll, &QTimer::timeout, this,
                [&] { answered && !open ? QCoreApplication::exit(7) : void(); });
        poll.start(20);
        QCOMPARE(StartupSequence::run(window, std::nullopt), 7);
    } else {
        QTest::mouseClick(window.connectionButton, Qt::LeftButton);
    }
    QVERIFY(shownDisconnected);
    QCOMPARE(window.remoteDevice.isConnected(), address.startsWith("127."));
    QCOMPARE(window.remoteDevice.transport() == window.remoteDevice.udpSocket(),
             window.remoteDevice.isConnected());
    QStringList boxes;
    for (const SeenBox &box : connected.answerer.boxes())
        boxes << box.text;
    QTEST(boxes.join(""), "box");
}

VKT_PRIVATE_NETWORK_TEST_MAIN(QApplication, TestConnectDialog)
#include "tst_connectdialog.moc"
