#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class CommandService;
class QSocketNotifier;
class StreamSession;

// The device's serial line: a pseudo-terminal whose slave side the client opens as its port.
// The sim keeps its own slave handle open for the whole run, so the line never hangs up between
// clients, and it throws away output that no client picks up, as a real line loses what is sent
// while nobody listens.
class SerialEndpoint : public QObject
{
    Q_OBJECT

public:
    explicit SerialEndpoint(CommandService *service, QObject *parent = nullptr);
    ~SerialEndpoint() override;

    bool open(const QString &linkPath, QString *error);
    QString portName() const { return m_slaveName; }

private:
    void onReadable();
    void onWritable();
    void write(const QByteArray &bytes);
    void flushPending();
    void dropUnreadOutput();
    void hangUp();

    CommandService *m_service = nullptr;
    StreamSession *m_session = nullptr;
    int m_masterFd = -1;
    int m_slaveFd = -1;
    QString m_slaveName;
    QString m_link;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
    QTimer m_staleTimer;
    int m_unreadAtLastCheck = 0;
    bool m_wroteSinceCheck = false;
};
