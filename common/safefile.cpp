#include "safefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 pieceBytes = 64 * 1024;

bool fail(QString *reason, const QString &text)
{
    *reason = text;
    return false;
}

bool writeAll(int descriptor, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// The mode the system gives a new file: only readable by asking for it and putting it back.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool SafeFile::write(const QString &path, const QByteArray &bytes, QString *reason)
{
    QByteArray target = QFile::encodeName(path);
    struct stat existing = {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return fail(reason, qt_error_string(errno));
    // A device node or a pipe would be replaced by an ordinary file, or be written into.
    if (exists && !S_ISREG(existing.st_mode))
        return fail(reason, tr("not a regular file"));
    // Through a link the file it names is replaced, and the link stays.
    if (exists)
        target = QFile::encodeName(QFileInfo(path).canonicalFilePath());

    QByteArray temporary = target + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return fail(reason, qt_error_string(errno));
    const mode_t mode = exists ? existing.st_mode & 07777 : newFileMode();
    // Everything on the disk before the rename: a full disk shows here, while the old file
    // is still whole.
    bool done =
        ::fchmod(descriptor, mode) == 0 && writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    int error = errno;
    if (::close(descriptor) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    if (done)
        error = errno;
    ::unlink(temporary.constData());
    return fail(reason, qt_error_string(error));
}

bool SafeFile::read(const QString &path, qint64 limitBytes, QByteArray *bytes, QString *reason)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    // Asked before the open as well: opening a device node already acts on it (a serial
    // adapter resets the device behind it).
    if (::stat(name.constData(), &info) != 0)
        return fail(reason, qt_error_string(errno));
    if (!S_ISREG(info.st_mode))
        return fail(reason, tr("not a regular file"));
    // Non-blocking, so that whatever stands at the path by now (a pipe without a writer)
    // cannot hold the open; it is read only if it is still a regular file.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return fail(reason, qt_error_string(errno));
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return fail(reason, tr("not a regular file"));
    }
    bytes->clear();
    char piece[pieceBytes];
    while (bytes->size() < limitBytes) {
        const ssize_t count =
            ::read(descriptor, piece, size_t(qMin(pieceBytes, limitBytes - bytes->size())));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            ::close(descriptor);
            return fail(reason, qt_error_string(error));
        }
        if (count == 0)
            break;
        bytes->append(piece, int(count));
    }
    ::close(descriptor);
    return true;
}
