#include "scriptedpeer.h"

#include "simprocess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

ScriptedPeer::~ScriptedPeer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

void ScriptedPeer::setAnswer(const QByteArray &path, const QByteArray &json)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.insert(path, json);
}

QString ScriptedPeer::start(bool serial)
{
    m_serial = serial;
    QString address;
    if (serial) {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return QString();
        address = QStringLiteral("usb://") + QString::fromLocal8Bit(::ptsname(m_fd));
    } else {
        const QString host = SimProcess::uniqueLoopbackAddress();
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(1993);
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (m_fd < 0 || ::inet_pton(AF_INET, host.toLatin1().constData(), &local.sin_addr) != 1
            || ::bind(m_fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0)
            return QString();
        address = QStringLiteral("network://") + host;
    }
    m_thread = std::thread(&ScriptedPeer::run, this);
    return address;
}

QByteArrayList ScriptedPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

QByteArray ScriptedPeer::reply(const QByteArray &command) const
{
    const int equals = command.indexOf('=');
    const QByteArray path = equals < 0 ? command : command.left(equals);
    const QByteArray error = "Error: unknown path " + path;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_serial)
        return command + "\r\n" + m_answers.value(path, error) + "\r\n>>";
    return "{\"data\": {\"" + path + "\": " + m_answers.value(path, '"' + error + '"') + "}}";
}

void ScriptedPeer::run()
{
    QByteArray pending;
    while (!m_stop) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, pollSliceMs) <= 0)
            continue;
        char bytes[65536];
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t count = m_serial
                                  ? ::read(m_fd, bytes, sizeof bytes)
                                  : ::recvfrom(m_fd, bytes, sizeof bytes, 0,
                                               reinterpret_cast<sockaddr *>(&sender), &senderSize);
        if (count <= 0) {
            // Nobody holds the terminal's other end (yet): the master reads a hangup.
            std::this_thread::sleep_for(std::chrono::milliseconds(pollSliceMs));
            continue;
        }
        pending.append(bytes, int(count));
        // A datagram is one command; terminal lines end with CR LF.
        while (!pending.isEmpty()) {
            const int end = m_serial ? pending.indexOf("\r\n") : pending.size();
            if (end < 0)
                break;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(pending.left(m_serial ? end + 2 : end));
            }
            const QByteArray answer = reply(pending.left(end));
            pending.remove(0, m_serial ? end + 2 : end);
            const size_t size = size_t(answer.size());
            const ssize_t sent = m_serial
                                     ? ::write(m_fd, answer.constData(), size)
                                     : ::sendto(m_fd, answer.constData(), size, 0,
                                                reinterpret_cast<sockaddr *>(&sender), senderSize);
            if (sent < 0)
                break;
        }
    }
}
