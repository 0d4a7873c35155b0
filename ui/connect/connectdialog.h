#pragma once

#include "devicediscover.h"
#include "ui_connectdialog.h"

#include <QDialog>
#include <QJsonObject>
#include <QMovie>

// The modal dialog in which the operator picks a device: it lists what a discovery finds while
// it is open and lets an address be typed. It connects nothing; its caller reads the choice.
class ConnectDialog : public QDialog, public Ui::ConnectDialog
{
    Q_OBJECT

public:
    static constexpr int defaultSearchPeriodMs = 5000;

    // `searchPeriodMs`: how long the radar turns after each search is started.
    explicit ConnectDialog(int searchPeriodMs = defaultSearchPeriodMs, QWidget *parent = nullptr);

    // The chosen interface followed by the address text, for example network://10.0.0.31.
    QString deviceAddress() const;

    // Public so that a caller can watch the search; the dialog owns and drives it.
    DeviceDiscover discover;

public slots:
    void startDiscovery();
    void onDeviceListSelected();
    void onDeviceListDoubleClicked();
    void onManualAddressChanged();
    void onDeviceDiscovered(QJsonObject deviceId, QString deviceAddress);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    static constexpr int addressColumn = 2;

    void clearDeviceList();

    const int m_searchPeriodMs;
    QMovie radarMovie{QStringLiteral(":/radar.gif")};
    int searchTimerId = 0;
};
