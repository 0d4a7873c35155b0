#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A device stand-in: the far end of a pseudo-terminal, or a UDP socket on a loopback address of
// its own, served by a thread because the link's exchanges block the test's. It records the
// exact bytes of every command and answers each path with the JSON text set for it, verbatim;
// an unknown path gets an error text.
class ScriptedPeer
{
public:
    ~ScriptedPeer();

    void setAnswer(const QByteArray &path, const QByteArray &json);
    // The device address, or an empty text.
    QString start(bool serial);
    QByteArrayList received() const;

private:
    void run();

    QHash<QByteArray, QByteArray> m_answers{
        {"/deviceId", R"({"deviceName": "Bench", "modelName": "HBN"})"},
        {"/vkt/deviceId", R"({"modelName": "VKT-250"})"},
        {"/stateObject", R"({"metricUnits": 1})"}};
    QByteArrayList m_received;
    mutable std::mutex m_mutex;
    int m_fd = -1;
    bool m_serial = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
