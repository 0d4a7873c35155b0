#include "connectdialog.h"

#include "devicevocabulary.h"
#include "printabletext.h"
#include "uilog.h"

#include <QPushButton>
#include <QTimerEvent>

ConnectDialog::ConnectDialog(int searchPeriodMs, QWidget *parent)
    : QDialog(parent)
    , m_searchPeriodMs(searchPeriodMs)
{
    setupUi(this);
    // Frames of twice the size where the screen has more pixels than 96 dpi would: Qt shows a
    // picture named @2x at half its size, so the radar stays sharp.
    if (devicePixelRatioF() > 1)
        radarMovie.setFileName(QStringLiteral(":/radar@2x.gif"));
    if (radarMovie.isValid())
        searchIcon->setMovie(&radarMovie);

    connect(refreshButton, &QToolButton::clicked, this, &ConnectDialog::startDiscovery);
    connect(&discover, &DeviceDiscover::deviceDiscovered, this, &ConnectDialog::onDeviceDiscovered);
    connect(deviceList, &QTreeWidget::clicked, this, &ConnectDialog::onDeviceListSelected);
    connect(deviceList, &QTreeWidget::doubleClicked, this,
            &ConnectDialog::onDeviceListDoubleClicked);
    connect(manualAddress, &QLineEdit::textChanged, this, &ConnectDialog::onManualAddressChanged);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    // Its first step also clears the form's sample rows before the operator sees them.
    startDiscovery();
}

QString ConnectDialog::deviceAddress() const
{
    return interfaceSelect->currentText() + manualAddress->text();
}

void ConnectDialog::startDiscovery()
{
    qCDebug(lcUi) << "startDiscovery";
    clearDeviceList();
    statusLabel->setText(tr("Searching for devices..."));
    searchIcon->show();
    refreshButton->hide();
    radarMovie.start();
    discover.startDiscovery();
    // One search period at a time: a timer left behind would cut the next one short.
    if (searchTimerId)
        killTimer(searchTimerId);
    searchTimerId = startTimer(m_searchPeriodMs, Qt::CoarseTimer);
}

void ConnectDialog::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != searchTimerId) {
        QDialog::timerEvent(event);
        return;
    }
    radarMovie.stop();
    searchIcon->hide();
    refreshButton->show();
    killTimer(searchTimerId);
    searchTimerId = 0;
}

void ConnectDialog::onDeviceDiscovered(QJsonObject deviceId, QString deviceAddress)
{
    qCDebug(lcUi) << "onDeviceDiscovered" << deviceAddress;
    statusLabel->setText(tr("Select Device:"));
    // Whatever a host on the network calls itself, one short line of plain text.
    const auto shown = [&deviceId](const QString &key) {
        return PrintableText::of(deviceId.value(key).toString(), PrintableText::nameLimitChars);
    };
    new QTreeWidgetItem(deviceList,
                        {shown(RecordKey::deviceName), shown(RecordKey::modelName), deviceAddress});
    deviceList->setCurrentItem(deviceList->topLevelItem(0));
}

void ConnectDialog::onDeviceListSelected()
{
    const QTreeWidgetItem *row = deviceList->currentItem();
    if (!row)
        return;
    const QString address = row->text(addressColumn);
    for (const QString &scheme : {DeviceAddress::networkScheme, DeviceAddress::serialScheme}) {
        if (address.contains(scheme)) {
            manualAddress->setText(QString(address).remove(scheme));
            interfaceSelect->setCurrentText(scheme);
            return;
        }
    }
}

void ConnectDialog::onDeviceListDoubleClicked()
{
    onDeviceListSelected();
    accept();
}

void ConnectDialog::onManualAddressChanged()
{
    buttonBox->button(QDialogButtonBox::Ok)->setEnabled(true);
}

void ConnectDialog::clearDeviceList()
{
    while (QTreeWidgetItem *row = deviceList->takeTopLevelItem(0))
        delete row;
}
