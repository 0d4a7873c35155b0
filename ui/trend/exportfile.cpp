#include "exportfile.h"

#include <QSaveFile>

QString ExportFile::write(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // The writes are buffered: a full disk shows only at the flush, and commit() alone would
    // not tell, so the flush is checked before the file is put in place.
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    return file.commit() ? QString() : file.errorString();
}
