#include "scriptedpeer.h"

#include "simprocess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
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

QByteArrayList ScriptedPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

QString ScriptedPeer::start(bool serial)
{
    m_serial = serial;
    QString address;
    if (serial) {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return QString();
        address = "usb://" + QString::fromLocal8Bit(::ptsname(m_fd));
    } else {
        const QString host = SimProcess::uniqueLoopbackAddress();
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(1993);
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (m_fd < 0 || ::inet_pton(AF_INET, host.toLatin1().constData(), &local.sin_addr) != 1
            || ::bind(m_fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0)
            return QString();
        address = "network://" + host;
    }
    m_thread = std::thread(&ScriptedPeer::run, this);
    return address;
}

void ScriptedPeer::run()
{
    QByteArray pending;
    char bytes[65536];
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    while (!m_stop) {
        pollfd entry{m_fd, POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0)
            continue;
        const ssize_t count = m_serial
                                  ? ::read(m_fd, bytes, sizeof bytes)
                                  : ::recvfrom(m_fd, bytes, sizeof bytes, 0,
                                               reinterpret_cast<sockaddr *>(&sender), &senderSize);
        if (count <= 0) { // nobody holds the terminal's other end yet: a hang-up
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        pending.append(bytes, int(count));
        // A datagram is one command; terminal lines end with CR LF.
        for (int end; (end = m_serial ? pending.indexOf("\r\n") : pending.size()) >= 0
                      && !pending.isEmpty();) {
            const QByteArray command = pending.left(end);
            const int equals = command.indexOf('=');
            const QByteArray path = equals < 0 ? command : command.left(equals);
            const QByteArray error = "Error: unknown path " + path;
            QByteArray answer;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(pending.left(m_serial ? end + 2 : end));
                answer = m_serial ? command + "\r\n" + m_answers.value(path, error) + "\r\n>>"
                                  : "{\"data\": {\"" + path
                                        + "\": " + m_answers.value(path, '"' + error + '"') + "}}";
            }
            pending.remove(0, m_serial ? end + 2 : end);
            if ((m_serial ? ::write(m_fd, answer.constData(), size_t(answer.size()))
                          : ::sendto(m_fd, answer.constData(), size_t(answer.size()), 0,
                                     reinterpret_cast<sockaddr *>(&sender), senderSize))
                < 0)
                break;
        }
    }
}
