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
    , service(service)
{
    staleTimer.setInterval(staleCheckMs);
    connect(&staleTimer, &QTimer::timeout, this, &SerialEndpoint::dropUnreadOutput);
}

SerialEndpoint::~SerialEndpoint()
{
    if (!link.isEmpty() && QFileInfo(link).symLinkTarget() == slaveName)
        QFile::remove(link);
    if (slaveFd >= 0)
        ::close(slaveFd);
    if (masterFd >= 0)
        ::close(masterFd);
}

bool SerialEndpoint::open(const QString &linkPath, QString *error)
{
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0 || ::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    slaveName = QString::fromLocal8Bit(::ptsname(masterFd));
    slaveFd = ::open(::ptsname(masterFd), O_RDWR | O_NOCTTY);
    if (slaveFd < 0) {
        *error = QStringLiteral("cannot open %1: %2")
                     .arg(slaveName, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // raw before anyone can open it: no echo, no line editing, no CR/LF translation by the kernel
    termios settings{};
    ::tcgetattr(slaveFd, &settings);
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    ::tcsetattr(slaveFd, TCSANOW, &settings);
    ::fcntl(masterFd, F_SETFL, ::fcntl(masterFd, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.isSymLink())
            QFile::remove(linkPath);
        if (!QFile::link(slaveName, linkPath)) {
            *error = QStringLiteral("cannot create the link %1").arg(linkPath);
            return false;
        }
        link = linkPath;
    }

    session = new StreamSession(
        service, [this](const QByteArray &bytes) { write(bytes); }, this);
    readNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(readNotifier, &QSocketNotifier::activated, this, &SerialEndpoint::onReadable);
    writeNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write, this);
    writeNotifier->setEnabled(false);
    connect(writeNotifier, &QSocketNotifier::activated, this, &SerialEndpoint::onWritable);
    staleTimer.start();
    qCDebug(lcSim) << "pseudo-terminal" << slaveName;
    return true;
}

void SerialEndpoint::onReadable()
{
    char buffer[4096];
    const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
    if (count > 0)
        session->receive(QByteArray(buffer, static_cast<int>(count)));
    if (service->faults()->hangsUp())
        hangUp();
}

// As an unplugged cable: the client's port sees the line go at once, whatever it still waits for.
void SerialEndpoint::hangUp()
{
    qCDebug(lcSim) << "hanging up the pseudo-terminal";
    staleTimer.stop();
    delete readNotifier;
    readNotifier = nullptr;
    delete writeNotifier;
    writeNotifier = nullptr;
    pending.clear();
    ::close(std::exchange(masterFd, -1));
    ::close(std::exchange(slaveFd, -1));
}

void SerialEndpoint::write(const QByteArray &bytes)
{
    if (masterFd < 0)
        return;
    wroteSinceCheck = true;
    if (pending.size() + bytes.size() > maxPendingBytes) {
        qCDebug(lcSim) << "serial output overflow, dropping" << bytes.size() << "bytes";
        return;
    }
    pending += bytes;
    flushPending();
}

void SerialEndpoint::onWritable()
{
    flushPending();
}

void SerialEndpoint::flushPending()
{
    while (!pending.isEmpty()) {
        const ssize_t count =
            ::write(masterFd, pending.constData(), static_cast<size_t>(pending.size()));
        if (count <= 0)
            break;
        pending.remove(0, static_cast<int>(count));
    }
    writeNotifier->setEnabled(!pending.isEmpty());
}

void SerialEndpoint::dropUnreadOutput()
{
    int unread = 0;
    if (::ioctl(slaveFd, FIONREAD, &unread) != 0)
        unread = 0;
    const bool stale = unread > 0 && !wroteSinceCheck && unread == unreadAtLastCheck;
    if (stale) {
        qCDebug(lcSim) << "no client read" << unread << "bytes; discarding them";
        ::tcflush(slaveFd, TCIFLUSH);
        pending.clear();
        writeNotifier->setEnabled(false);
        unread = 0;
    }
    unreadAtLastCheck = unread;
    wroteSinceCheck = false;
}
