#include "serialendpoint.h"

#include "commandservice.h"
#include "faultinjector.h"
#include "simlog.h"
#include "streamsession.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr int staleCheckMs = 500; // output unread for two checks has no reader
constexpr int maxPendingBytes = 16 * 1024 * 1024 + 64 * 1024; // the largest padded reply fits
} // namespace

SerialEndpoint::SerialEndpoint(CommandService *service, QObject *parent)
    : QObject(parent)
    , m_service(service)
{
    m_staleTimer.setInterval(staleCheckMs);
    connect(&m_staleTimer, &QTimer::timeout, this, &SerialEndpoint::dropUnreadOutput);
}

SerialEndpoint::~SerialEndpoint()
{
    if (!m_link.isEmpty() && QFileInfo(m_link).symLinkTarget() == m_slaveName)
        QFile::remove(m_link);
    if (m_slaveFd >= 0)
        ::close(m_slaveFd);
    if (m_masterFd >= 0)
        ::close(m_masterFd);
}

bool SerialEndpoint::open(const QString &linkPath, QString *error)
{
    m_masterFd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_masterFd < 0 || ::grantpt(m_masterFd) != 0 || ::unlockpt(m_masterFd) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_slaveName = QString::fromLocal8Bit(::ptsname(m_masterFd));
    m_slaveFd = ::open(::ptsname(m_masterFd), O_RDWR | O_NOCTTY);
    if (m_slaveFd < 0) {
        *error = QStringLiteral("cannot open %1: %2")
                     .arg(m_slaveName, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // raw before anyone can open it: no echo, no line editing, no CR/LF translation by the kernel
    termios settings{};
    ::tcgetattr(m_slaveFd, &settings);
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    ::tcsetattr(m_slaveFd, TCSANOW, &settings);
    ::fcntl(m_masterFd, F_SETFL, ::fcntl(m_masterFd, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.isSymLink())
            QFile::remove(linkPath);
        if (!QFile::link(m_slaveName, linkPath)) {
            *error = QStringLiteral("cannot create the link %1").arg(linkPath);
            return false;
        }
        m_link = linkPath;
    }

    m_session = new StreamSession(
        m_service, [this](const QByteArray &bytes) { write(bytes); }, this);
    m_readNotifier = new QSocketNotifier(m_masterFd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SerialEndpoint::onReadable);
    m_writeNotifier = new QSocketNotifier(m_masterFd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SerialEndpoint::onWritable);
    m_staleTimer.start();
    qCDebug(lcSim) << "pseudo-terminal" << m_slaveName;
    return true;
}

void SerialEndpoint::onReadable()
{
    char buffer[4096];
    const ssize_t count = ::read(m_masterFd, buffer, sizeof buffer);
    if (count > 0)
        m_session->receive(QByteArray(buffer, static_cast<int>(count)));
    if (m_service->faults()->hangsUp())
        hangUp();
}

// As an unplugged cable: the client's port sees the line go at once, whatever it still waits for.
void SerialEndpoint::hangUp()
{
    qCDebug(lcSim) << "hanging up the pseudo-terminal";
    m_staleTimer.stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    m_pending.clear();
    ::close(std::exchange(m_masterFd, -1));
    ::close(std::exchange(m_slaveFd, -1));
}

void SerialEndpoint::write(const QByteArray &bytes)
{
    if (m_masterFd < 0)
        return;
    m_wroteSinceCheck = true;
    if (m_pending.size() + bytes.size() > maxPendingBytes) {
        qCDebug(lcSim) << "serial output overflow, dropping" << bytes.size() << "bytes";
        return;
    }
    m_pending += bytes;
    flushPending();
}

void SerialEndpoint::onWritable()
{
    flushPending();
}

void SerialEndpoint::flushPending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t count =
            ::write(m_masterFd, m_pending.constData(), static_cast<size_t>(m_pending.size()));
        if (count <= 0)
            break;
        m_pending.remove(0, static_cast<int>(count));
    }
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void SerialEndpoint::dropUnreadOutput()
{
    int unread = 0;
    if (::ioctl(m_slaveFd, FIONREAD, &unread) != 0)
        unread = 0;
    const bool stale = unread > 0 && !m_wroteSinceCheck && unread == m_unreadAtLastCheck;
    if (stale) {
        qCDebug(lcSim) << "no client read" << unread << "bytes; discarding them";
        ::tcflush(m_slaveFd, TCIFLUSH);
        m_pending.clear();
        m_writeNotifier->setEnabled(false);
        unread = 0;
    }
    m_unreadAtLastCheck = unread;
    m_wroteSinceCheck = false;
}
