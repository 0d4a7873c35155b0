#pragma once

#include "remotedevice.h"
#include "trendfeed.h"
#include "ui_mainwindow.h"

#include <QKeySequence>
#include <QMainWindow>

class TrendWindow;

// The dashboard: shows the connected device on its gauges and labels, turns the operator's
// actions into device commands and runs the payload weighing dialogue.
class MainWindow : public QMainWindow, public Ui::MainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // A member, so it is destroyed before the QMainWindow base deletes the widgets: its
    // disconnect at tear-down still finds them.
    RemoteDevice remoteDevice{this};

    TrendFeed *trendFeed() { return &m_trendFeed; }
    // None until the trend is first opened.
    TrendWindow *trendWindow() const { return m_trendWindow; }

public slots:
    void onFileOpenButtonClick();
    void onFileSaveButtonClick();
    void onConsoleButtonClick();
    void onSetupButtonClick();
    void onConnectionButtonClick();
    void onForceLongPress();
    void onPositionLongPress();
    void onDeviceConnect();
    void onDeviceDisconnect();
    void onToolChanged(int connected);
    void onWeighError(QString errorStr);
    void onMetricUnitsChanged(int metricUnits);
    void setControlMode(int mode);
    void setPayloadWeight(double value);
    void onTrendButtonClick();

protected:
    bool event(QEvent *e) override;

private:
    void connectSignals();
    void assignShortcuts();
    static QKeySequence preferencesKeys();
    QString askParameterFileName(QString (*ask)(QWidget *parent));
    void applyToolRatings();
    void setForceCommandFocus(bool force);
    void updateWeighButton();
    void askToSaveWeighedPayload();
    void placeBeside(QWidget *window) const;
    int stateControlMode() const;

    // The save question of the weighing that has ended is on its way or open.
    bool m_weighingQuestionPending = false;
    // The run's history from the first poll on, whether the trend is open or not.
    TrendFeed m_trendFeed{&remoteDevice};
    // Made at its first opening; it hides when closed and stays, recording if it does.
    TrendWindow *m_trendWindow = nullptr;
};
