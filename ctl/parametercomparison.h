#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <QVector>

// A parameter document set beside the device's own records, key path by key path, as the
// import would send them ("/vkt/softTouchForce", "/hbn/net/dhcp"). A key on one side only
// is Undefined on the other.
class ParameterComparison
{
public:
    struct Entry
    {
        QString path;
        QJsonValue deviceValue;
        QJsonValue fileValue;
        bool differs() const { return deviceValue != fileValue; }
    };

    // `records`: the members of both documents that are compared ("vkt", and "hbn" on an HBN unit).
    static QVector<Entry> compare(const QJsonObject &device, const QJsonObject &file,
                                  const QStringList &records);
    // "* PATH: device VALUE, file VALUE" for a difference, two spaces in place of "* " otherwise.
    static QString line(const Entry &entry);

private:
    static void flatten(const QJsonObject &object, const QString &prefix,
                        QVector<QPair<QString, QJsonValue>> *values);
    static QString valueText(const QJsonValue &value);
};
