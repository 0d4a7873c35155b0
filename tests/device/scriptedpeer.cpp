#include "scriptedpeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int pollSliceMs = 20; // how soon the thread notices a stop request

} // namespace

ScriptedPeer::~ScriptedPeer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ScriptedPeer::startSerial()
{
    m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
        return false;
    m_serialPath = QString::fromLocal8Bit(::ptsname(m_fd));
    m_serial = true;
    m_thread = std::thread(&ScriptedPeer::run, this);
    return true;
}

bool ScriptedPeer::startUdp(const QString &address, quint16 port)
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (m_fd < 0 || ::inet_pton(AF_INET, address.toLatin1().constData(), &local.sin_addr) != 1
        || ::bind(m_fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0)
        return false;
    m_thread = std::thread(&ScriptedPeer::run, this);
    return true;
}

QByteArrayList ScriptedPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void ScriptedPeer::setAnswer(const QByteArray &path, const QByteArray &json)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.insert(path, json);
}

QByteArray ScriptedPeer::reply(const QByteArray &command)
{
    const QByteArray path = command.left(command.indexOf('=') < 0 ? command.size()
                                                                   : command.indexOf('='));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_silent)
        return QByteArray();
    const QByteArray error = "Error: unknown path " + path;
    if (m_serial)
        return command + "\r\n" + m_answers.value(path, error) + "\r\n>>";
    const QByteArray value = m_answers.value(path, '"' + error + '"');
    return "{\"data\": {\"" + path + "\": " + value + "}}";
}

void ScriptedPeer::run()
{
    while (!m_stop) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, pollSliceMs) <= 0)
            continue;
        if (m_serial)
            serveSerial();
        else
            serveDatagram();
    }
}

void ScriptedPeer::serveSerial()
{
    char bytes[4096];
    const ssize_t count = ::read(m_fd, bytes, sizeof bytes);
    if (count <= 0) {
        // No one holds the terminal's other end yet (or any more): the master reads a hangup.
        std::this_thread::sleep_for(std::chrono::milliseconds(pollSliceMs));
        return;
    }
    m_pending.append(bytes, int(count));
    int end;
    while ((end = m_pending.indexOf("\r\n")) >= 0) {
        const QByteArray command = m_pending.left(end);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_received.append(m_pending.left(end + 2));
        }
        m_pending.remove(0, end + 2);
        const QByteArray answer = reply(command);
        if (!answer.isEmpty() && ::write(m_fd, answer.constData(), size_t(answer.size())) < 0)
            return;
    }
}

void ScriptedPeer::serveDatagram()
{
    char bytes[65536];
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    const ssize_t count = ::recvfrom(m_fd, bytes, sizeof bytes, 0,
                                     reinterpret_cast<sockaddr *>(&sender), &senderSize);
    if (count < 0)
        return;
    const QByteArray command(bytes, int(count));
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(command);
    }
    const QByteArray answer = reply(command);
    if (!answer.isEmpty()) {
        ::sendto(m_fd, answer.constData(), size_t(answer.size()), 0,
                 reinterpret_cast<sockaddr *>(&sender), senderSize);
    }
}
