#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A device stand-in owned by the test: the far end of a pseudo-terminal or a UDP socket on a
// loopback address of its own, served by its own thread because the link's exchanges block the
// test's. It records the exact bytes of every command and answers each path with the JSON text
// set for it, verbatim ("5.0" stays "5.0"); an unknown path gets an error text.
class ScriptedPeer
{
public:
    ~ScriptedPeer();

    void setAnswer(const QByteArray &path, const QByteArray &json);
    // Starts serving; returns the device address for it, or an empty text.
    QString start(bool serial);
    // Raw bytes of each command so far, terminator included.
    QByteArrayList received() const;

private:
    QByteArray reply(const QByteArray &command) const;
    void run();

    static constexpr int pollSliceMs = 20; // how soon the thread notices a stop request

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
