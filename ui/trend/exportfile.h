#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file or none of it: aside, then put in place. The empty text on success,
// the system's reason otherwise; a file already there stays as it was on failure.
class ExportFile
{
public:
    static QString write(const QString &path, const QByteArray &data);
};
