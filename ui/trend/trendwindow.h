#pragma once

#include "staterecorder.h"

#include <QTimer>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class TrendFeed;
class TrendPlot;

// The trend: force, position and acceleration over a chosen span of the feed's history,
// live or paused, exported as CSV or as a picture, and recorded to a file as the run goes on.
// One window, hidden when closed, so that a recording goes on behind it.
class TrendWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TrendWindow(TrendFeed *feed, QWidget *parent = nullptr);

    // Appends every sample and event to `path` from now on; false, with the reason shown,
    // when the file cannot be made.
    bool startRecording(const QString &path);

    TrendPlot *plot() const { return m_plot; }
    QComboBox *spanBox() const { return m_spanBox; }
    QPushButton *pauseButton() const { return m_pauseButton; }
    QPushButton *clearButton() const { return m_clearButton; }
    QPushButton *exportCsvButton() const { return m_exportCsvButton; }
    QPushButton *exportPictureButton() const { return m_exportPictureButton; }
    QPushButton *recordButton() const { return m_recordButton; }
    QLabel *recordingLabel() const { return m_recordingLabel; }
    QLabel *hoverLabel() const { return m_hoverLabel; }
    const StateRecorder &recorder() const { return m_recorder; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onSampleAdded();
    void onPauseButtonClick();
    void onExportCsvButtonClick();
    void onExportPictureButtonClick();
    void onRecordButtonClick();
    void onRecordingFailed(const QString &reason);
    void onHovered(qint64 elapsedMs);
    void refresh();
    qint64 spanMs() const;
    QByteArray shownCsv() const;
    void writeExport(const QString &caption, const QString &filter, const QByteArray &data);
    void showRecording();
    void showError(const QString &text);

    TrendFeed *m_feed;
    StateRecorder m_recorder;
    TrendPlot *m_plot;
    QComboBox *m_spanBox;
    QPushButton *m_pauseButton;
    QPushButton *m_clearButton;
    QPushButton *m_exportCsvButton;
    QPushButton *m_exportPictureButton;
    QPushButton *m_recordButton;
    QLabel *m_recordingLabel;
    QLabel *m_hoverLabel;
    bool m_paused = false;
    bool m_eventPending = false; // a marker to show at the next sample
    qint64 m_refreshedAtMs = -1;
    QTimer m_idleTimer; // keeps the time moving while no sample comes (a lost link)
};
