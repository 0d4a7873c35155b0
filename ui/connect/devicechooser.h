#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;
class RemoteDevice;

// Lets the operator pick a device in the connect dialog and connects the link to it.
class DeviceChooser
{
    Q_DECLARE_TR_FUNCTIONS(DeviceChooser)

public:
    // Runs the dialog modally; once it is accepted, connects `device` to the chosen address.
    // A failed connection is shown in a box over `boxParent` (none at start-up).
    static void chooseAndConnect(RemoteDevice &device, QWidget *boxParent);

    // Tells the operator that `address` could not be connected, and why when that is known.
    static void showConnectError(const QString &address, QWidget *boxParent,
                                 const QString &reason = QString());
};
