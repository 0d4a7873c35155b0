#include "appendfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const QString &path)
{
    close();
    // Not emptied before it is known to be a regular file: O_TRUNC would reach a device, and
    // opening a FIFO without O_NONBLOCK would wait for a reader.
    m_fd = ::open(QFile::encodeName(path).constData(),
                  O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return fail(errno);
    struct stat status;
    if (::fstat(m_fd, &status) != 0)
        return fail(errno);
    if (!S_ISREG(status.st_mode)) {
        close();
        m_error = QStringLiteral("not a regular file");
        return false;
    }
    if (::ftruncate(m_fd, 0) != 0)
        return fail(errno);
    m_size = 0;
    return true;
}

bool AppendFile::append(const QByteArray &lines)
{
    if (m_fd < 0)
        return false;
    qint64 written = 0;
    while (written < lines.size()) {
        const ssize_t n = ::pwrite(m_fd, lines.constData() + written,
                                   size_t(lines.size() - written), off_t(m_size + written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            // What did go in is only the start of a line: it is taken back.
            const bool whole = written == 0 || ::ftruncate(m_fd, off_t(m_size)) == 0;
            fail(error);
            if (!whole)
                m_error += QStringLiteral(" (the file ends with part of a line)");
            return false;
        }
        written += n;
    }
    m_size += written;
    return true;
}

void AppendFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool AppendFile::fail(int error)
{
    m_error = qt_error_string(error);
    close();
    return false;
}
