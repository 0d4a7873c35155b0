#include "smalldisk.h"

#include <QFile>

#include <cerrno>

#include <sys/mount.h>

SmallDisk::SmallDisk()
{
    if (!m_dir.isValid()) {
        m_reason = QStringLiteral("no temporary folder: ") + m_dir.errorString();
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(sizeBytes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                        options.constData())
                == 0;
    if (!m_mounted)
        m_reason = QStringLiteral("cannot mount a tmpfs: ") + qt_error_string(errno);
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}
