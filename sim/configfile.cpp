#include "configfile.h"

#include "configstore.h"
#include "simlog.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace {
constexpr qint64 maxConfigBytes = 1024 * 1024;
}

ConfigFile::ConfigFile(const QString &path)
    : filePath(path)
{}

bool ConfigFile::exists() const
{
    return !filePath.isEmpty() && QFileInfo::exists(filePath);
}

bool ConfigFile::load(ConfigStore *store, QString *error) const
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(filePath, file.errorString());
        return false;
    }
    if (file.size() > maxConfigBytes) {
        *error = QStringLiteral("%1 is too large to be a configuration").arg(filePath);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error =
            QStringLiteral("%1 is not a JSON object: %2").arg(filePath, parseError.errorString());
        return false;
    }
    QString applyError;
    if (!store->applyDocument(document.object(), &applyError)) {
        *error = QStringLiteral("%1: %2").arg(filePath, applyError);
        return false;
    }
    qCDebug(lcSim) << "configuration loaded from" << filePath;
    return true;
}

bool ConfigFile::save(const ConfigStore &store, QString *error) const
{
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(QJsonDocument(store.document()).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    qCDebug(lcSim) << "configuration saved to" << filePath;
    return true;
}
