#pragma once

#include <QString>
#include <QTemporaryDir>

// A disk of 64 KiB (tmpfs) mounted on a temporary folder for as long as the object lives, for a
// test that fills it. Mounting needs root, as CI runs the tests; where it cannot be had,
// unavailableReason() says why.
class SmallDisk
{
public:
    static constexpr int sizeBytes = 64 * 1024;

    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString unavailableReason() const { return m_reason; }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};
