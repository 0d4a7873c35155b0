#pragma once

#include "ui_consolewindow.h"

#include <QByteArray>
#include <QDialog>
#include <QTimer>

class QIODevice;
class RemoteDevice;

// The raw terminal to the connected device. Over the serial link it borrows the link's port and
// keeps the state polls off it while open; over the network it has a TCP connection of its own
// to the device's terminal port.
class ConsoleWindow : public QDialog, private Ui::ConsoleWindow
{
    Q_OBJECT

public:
    explicit ConsoleWindow(RemoteDevice *remoteDevice);
    ~ConsoleWindow() override;

public slots:
    void writeData(const QByteArray &data);
    void readData();
    void reject() override;

private:
    void borrowSerialPort();
    bool openTerminalConnection();
    bool usesSerialPort() const;

    RemoteDevice *m_remoteDevice = nullptr;
    // The serial port (the link's) or a TCP socket of ours; null when there is no terminal.
    QIODevice *m_socket = nullptr;
    // Takes what is left unread at the next turn of the event loop.
    QTimer m_readMore;
};
