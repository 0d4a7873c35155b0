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
        showConnectError(address, boxParent, device.linkError());
}

void DeviceChooser::showConnectError(const QString &address, QWidget *boxParent,
                                     const QString &reason)
{
    qCDebug(lcUi) << "connection failed:" << address << reason;
    QString text = tr("Error connecting to \"%1\"").arg(address);
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    QMessageBox box(QMessageBox::Information, tr("VKT Dashboard"), text, QMessageBox::Ok,
                    boxParent);
    // The address is the operator's own typing, shown as typed.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
