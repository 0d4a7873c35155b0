#include "devicechooser.h"

#include "connectdialog.h"
#include "remotedevice.h"
#include "uilog.h"

#include <QMessageBox>

void DeviceChooser::chooseAndConnect(RemoteDevice &device, QWidget *boxParent)
{
    ConnectDialog dialog;
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Not checked here: an address the link cannot use fails there and is reported.
    const QString address = dialog.deviceAddress();
    if (!device.connectDevice(address))
        showConnectError(address, boxParent);
}

void DeviceChooser::showConnectError(const QString &address, QWidget *boxParent)
{
    qCDebug(vktUi) << "connection failed:" << address;
    QMessageBox::information(boxParent, tr("VKT Dashboard"),
                             tr("Error connecting to \"%1\"").arg(address));
}
