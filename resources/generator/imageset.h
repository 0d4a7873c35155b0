#pragma once

#include <QDir>

// The application's pictures, each drawn at the exact size under which the
// program refers to it, written into one folder.
class ImageSet
{
public:
    explicit ImageSet(const QDir &folder);

    // Writes every picture; false (with a logged reason) if one could not be
    // written.
    bool writeAll() const;

private:
    bool writePng(const QString &name, const QImage &image) const;
    bool writeRadar(const QString &name) const;

    QDir folder;
};
