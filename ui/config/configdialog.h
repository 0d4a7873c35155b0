#pragma once

#include "configrecord.h"
#include "fieldslider.h"
#include "ui_configdialog.h"

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class RemoteDevice;

// Shows the settings of the connected unit as they were when it opened and, on OK, sends one
// set command for each setting the operator changed, in a fixed order, then has the unit store
// them. The lamps of the "HBN I/O" page follow the device while it is open.
class ConfigDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ConfigDialog(RemoteDevice *remoteDevice);
    ~ConfigDialog() override;

    void accept() override;

public slots:
    void onUnitsClick();
    void onPosLimitChanged(double value);
    void onPosLimitSliderChanged(int value);
    void onNegLimitChanged(double value);
    void onNegLimitSliderChanged(int value);
    void onSoftTouchForceChanged(double value);
    void onSoftTouchForceSliderChanged(int value);
    void onSoftTouchPositionChanged(double value);
    void onSoftTouchPositionSliderChanged(int value);
    void onDhcpChanged(int index);
    void onCommandLevelChanged(int value);
    void onCommandNegChanged(int value);
    void onWeighPayloadChanged(int value);
    void onCpuClockChanged(int value);
    void onHostComChanged(int value);
    void onToolComChanged(int value);
    void onPosLimitChanged(int value);
    void onNegLimitChanged(int value);
    void onOkToWeighChanged(int value);
    void onWeightOkChanged(int value);
    void onUpdateFirmware();

private:
    void connectSignals();
    void load();
    QString currentDeviceName();
    QJsonObject loadToolPages();
    QJsonObject loadHbnPage();
    void loadLamps(int dioValue);
    void loadNetworkPage(const QJsonObject &net);
    void loadAboutPage();
    void presentCommandFields(bool metric);
    void presentLimitFields(bool metric);
    void setLimitCouplingSuspended(bool suspended);
    bool sendChanges();

    static double ratio(const QDoubleSpinBox *field);
    static void setRatio(QDoubleSpinBox *field, double ratio);
    static void setLamp(QLabel *lamp, int value);

    Ui::ConfigDialog ui;

    RemoteDevice *remoteDevice = nullptr;
    QString loadedDeviceName;
    bool loadedMetricUnits = false;
    double loadedPosLimitRatio = 0;
    double loadedNegLimitRatio = 0;
    double loadedPayloadRatio = 0;
    bool loadedInitialWeigh = false;
    int loadedInitialModeIndex = 0;
    double loadedInitialForceRatio = 0;
    double loadedInitialPositionRatio = 0;
    bool loadedSoftTouchEnabled = false;
    double loadedSoftTouchForce = 0;
    double loadedSoftTouchPosition = 0;
    bool loadedDhcp = false;
    int loadedTimeout = 0;
    Ipv4Parts loadedIpAddress{};
    Ipv4Parts loadedNetMask{};
    Ipv4Parts loadedGateway{};
    int loadedNodeId = 0;
    int loadedBaudRateIndex = 0;
    double maxPosition = 0; // mm
    double maxForce = 0;    // N
    double maxPayload = 0;  // kg

    // The unit system the two position limits are shown in; they convert only when it changes.
    bool limitsMetric = true;
    FieldSlider posLimitCoupling;
    FieldSlider negLimitCoupling;
    FieldSlider softTouchForceCoupling;
    FieldSlider softTouchPositionCoupling;
};
