#pragma once

#include <QTemporaryDir>

// A 64 KiB tmpfs mounted on a temporary folder while the object lives, for a test that fills it.
// Mounting needs root, as CI has; elsewhere unavailableReason() says why not.
class SmallDisk
{
public:
    static constexpr int sizeBytes = 64 * 1024;

    SmallDisk();
    ~SmallDisk();

    QString path() const { return m_dir.path(); }
    QString unavailableReason() const { return m_reason; }

private:
    QTemporaryDir m_dir;
    QString m_reason; // empty once mounted
};
