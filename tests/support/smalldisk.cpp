#include "smalldisk.h"

#include <QFile>

#include <cerrno>

#include <sys/mount.h>

SmallDisk::SmallDisk()
{
    const QByteArray options = "size=" + QByteArray::number(sizeBytes);
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                options.constData())
        != 0)
        m_reason = QStringLiteral("cannot mount a tmpfs: ") + qt_error_string(errno);
}

SmallDisk::~SmallDisk()
{
    if (m_reason.isEmpty())
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}
