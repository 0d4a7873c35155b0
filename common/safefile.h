#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Files as the operator names them: only regular files are read or replaced, no open can
// block (a named pipe, a device node), and a write either puts the whole new content in place
// or leaves what was there byte for byte. Failures come back as the system's reason.
class SafeFile
{
    Q_DECLARE_TR_FUNCTIONS(SafeFile)

public:
    // Writes `bytes` to `path` through a temporary file beside it, renamed over the old one
    // once everything is on the disk. A path that names anything other than a regular file
    // (or nothing yet) is refused.
    static bool write(const QString &path, const QByteArray &bytes, QString *reason);

    // Reads at most `limitBytes` of the regular file `path` into `bytes`.
    static bool read(const QString &path, qint64 limitBytes, QByteArray *bytes, QString *reason);
};
