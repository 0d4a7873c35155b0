#include "staterecorder.h"

StateRecorder::StateRecorder(QObject *parent)
    : QObject(parent)
{}

bool StateRecorder::start(const QString &path, const StateLogHeader &header,
                          const QJsonObject &firstRecord, qint64 originMs)
{
    stop();
    m_fileName = path;
    m_rows = 0;
    m_format = StateCsvFormat(firstRecord, originMs);
    if (!m_file.open(path) || !m_file.append(m_format.header(header))) {
        m_error = m_file.errorString();
        m_file.close();
        return false;
    }
    const quint64 generation = ++m_generation;
    m_sync = std::make_unique<FileSync>(m_file.handle(), [this, generation](const QString &reason) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, reason] {
                if (generation == m_generation && isRecording())
                    fail(reason);
            },
            Qt::QueuedConnection);
    });
    m_sync->request();
    emit rowsWrittenChanged(m_rows);
    return true;
}

void StateRecorder::stop()
{
    m_sync.reset();
    m_file.close();
}

void StateRecorder::recordSample(const StateSample &sample, const QJsonObject &record)
{
    if (isRecording())
        writeRow(m_format.sampleRow(sample, record));
}

void StateRecorder::recordEvent(const StateEvent &event)
{
    if (isRecording())
        writeRow(m_format.eventRow(event));
}

void StateRecorder::writeRow(const QByteArray &row)
{
    if (!m_file.append(row)) {
        fail(m_file.errorString());
        return;
    }
    m_sync->request();
    emit rowsWrittenChanged(++m_rows);
}

void StateRecorder::fail(const QString &reason)
{
    stop();
    m_error = reason;
    emit failed(reason);
}
