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
    QString portName() const { return slaveName; }

private:
    void onReadable();
    void onWritable();
    void write(const QByteArray &bytes);
    void flushPending();
    void dropUnreadOutput();
    void hangUp();

    CommandService *service = nullptr;
    StreamSession *session = nullptr;
    int masterFd = -1;
    int slaveFd = -1;
    QString slaveName;
    QString link;
    QSocketNotifier *readNotifier = nullptr;
    QSocketNotifier *writeNotifier = nullptr;
    QByteArray pending;
    QTimer staleTimer;
    int unreadAtLastCheck = 0;
    bool wroteSinceCheck = false;
};
