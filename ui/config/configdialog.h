#pragma once

#include "fieldslider.h"
#include "settingrow.h"
#include "ui_configdialog.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class RemoteDevice;
class SettingSink;
struct ConfigSnapshot;

// Shows the settings of the connected unit as they were when it opened and, on OK, sends one
// set command for each setting the operator changed, in a fixed order, then has the unit store
// them. The lamps of the "HBN I/O" page follow the device while it is open.
class ConfigDialog : public QDialog
{
    Q_OBJECT

public:
    // Reads the unit through `remoteDevice` and sends to it.
    explicit ConfigDialog(RemoteDevice *remoteDevice);
    // Shows `snapshot` and sends to `sink`, which must outlive the dialog.
    ConfigDialog(const ConfigSnapshot &snapshot, SettingSink *sink);
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
    ConfigDialog(std::unique_ptr<SettingSink> ownSink, SettingSink *sink);

    std::vector<SettingRow> changeTable();
    void connectSignals();
    void connectLamps(RemoteDevice *remoteDevice);
    void load(const ConfigSnapshot &snapshot);
    void presentToolFields(const ConfigSnapshot &snapshot);
    bool loadHbnPage(const ConfigSnapshot &snapshot);
    void loadLamps(quint32 dioValue);
    void loadAboutPage();
    void presentCommandFields(bool metric);
    void presentLimitFields(bool metric);
    void setLimitCouplingSuspended(bool suspended);
    bool sendChanges();

    static void setLamp(QLabel *lamp, int value);

    Ui::ConfigDialog m_ui;

    std::unique_ptr<SettingSink> m_ownSink;
    SettingSink *m_sink = nullptr;
    std::vector<SettingRow> m_rows; // the change table, in the order it is sent
    // While the dialog itself sets fields (loading, a units switch) no change is an edit.
    bool m_presenting = false;
    double m_maxPosition = 0; // mm
    double m_maxForce = 0;    // N
    double m_maxPayload = 0;  // kg

    // The unit system the two position limits are shown in; they convert only when it changes.
    bool m_limitsMetric = true;
    FieldSlider m_posLimitCoupling;
    FieldSlider m_negLimitCoupling;
    FieldSlider m_softTouchForceCoupling;
    FieldSlider m_softTouchPositionCoupling;
};
