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
    : m_filePath(path)
{}

bool ConfigFile::exists() const
{
    return !m_filePath.isEmpty() && QFileInfo::exists(m_filePath);
}

bool ConfigFile::load(ConfigStore *store, QString *error) const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(m_filePath, file.errorString());
        return false;
    }
    if (file.size() > maxConfigBytes) {
        *error = QStringLiteral("%1 is too large to be a configuration").arg(m_filePath);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error =
            QStringLiteral("%1 is not a JSON object: %2").arg(m_filePath, parseError.errorString());
        return false;
    }
    QString applyError;
    if (!store->applyDocument(document.object(), &applyError)) {
        *error = QStringLiteral("%1: %2").arg(m_filePath, applyError);
        return false;
    }
    qCDebug(lcSim) << "configuration loaded from" << m_filePath;
    return true;
}

bool ConfigFile::save(const ConfigStore &store, QString *error) const
{
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(QJsonDocument(store.document()).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    qCDebug(lcSim) << "configuration saved to" << m_filePath;
    return true;
}
