#pragma once

#include "appendfile.h"
#include "filesync.h"
#include "statecsvformat.h"

#include <QObject>

#include <memory>

// Records a run to a CSV file: the header, then every sample and event as it comes, each row
// written through at once and put on the disk off the GUI thread. A failed write or sync
// stops the recording; what was written stays as it was.
class StateRecorder : public QObject
{
    Q_OBJECT

public:
    explicit StateRecorder(QObject *parent = nullptr);

    // Starts a new log in `path` (emptied when it exists); false with errorString() when the
    // file cannot be made. `firstRecord` chooses the extra columns, `originMs` is elapsed 0.
    bool start(const QString &path, const StateLogHeader &header, const QJsonObject &firstRecord,
               qint64 originMs);
    void stop();

    bool isRecording() const { return m_file.isOpen(); }
    QString fileName() const { return m_fileName; }
    qint64 rowsWritten() const { return m_rows; }
    QString errorString() const { return m_error; }

public slots:
    void recordSample(const StateSample &sample, const QJsonObject &record);
    void recordEvent(const StateEvent &event);

signals:
    void rowsWrittenChanged(qint64 rows);
    // The recording has stopped on its own; `reason` is the system's.
    void failed(const QString &reason);

private:
    void writeRow(const QByteArray &row);
    void fail(const QString &reason);

    AppendFile m_file;
    std::unique_ptr<FileSync> m_sync;
    StateCsvFormat m_format;
    QString m_fileName;
    QString m_error;
    qint64 m_rows = 0;
    quint64 m_generation = 0; // a late sync failure of an earlier file is not this one's
};
