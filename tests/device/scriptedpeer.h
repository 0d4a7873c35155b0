#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A device stand-in owned by the test: the far end of a pseudo-terminal or a UDP socket,
// served by its own thread. It records the exact bytes of every command it receives and
// answers each path with the JSON text set for it, written out verbatim (so "5.0" stays
// "5.0"); an unknown path gets an error text, and nothing at all is answered while silent.
class ScriptedPeer
{
public:
    ScriptedPeer() = default;
    ~ScriptedPeer();

    void setAnswer(const QByteArray &path, const QByteArray &json);
    void setSilent(bool silent) { m_silent = silent; }

    bool startSerial();
    bool startUdp(const QString &address, quint16 port = 1993);
    QString serialPath() const { return m_serialPath; }

    // Raw bytes of each command so far, terminator included.
    QByteArrayList received() const;

private:
    QByteArray reply(const QByteArray &command);
    void run();
    void serveSerial();
    void serveDatagram();

    QHash<QByteArray, QByteArray> m_answers;
    std::atomic<bool> m_silent{false};
    int m_fd = -1;
    bool m_serial = false;
    QString m_serialPath;
    QByteArray m_pending;
    QByteArrayList m_received;
    mutable std::mutex m_mutex;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
