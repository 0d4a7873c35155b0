#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// Turns a parameter document into the command lines that replay it into a device, in the order
// they are to be sent, or into a rejection with its reason. Nothing here touches a device: a
// document is settled whole before the first line goes out, so a bad one sets nothing.
class ParameterImport
{
    Q_DECLARE_TR_FUNCTIONS(ParameterImport)

public:
    static constexpr int fileLimitBytes = 1024 * 1024;
    static constexpr int depthLimit = 8; // the document itself is level 1
    static constexpr int lineLimitBytes = 1024;

    struct Command
    {
        QString path;
        QString value;
        bool operator==(const Command &other) const
        {
            return path == other.path && value == other.value;
        }
    };

    struct Plan
    {
        QVector<Command> commands;
        QString rejection; // empty when the document is accepted
        bool isAccepted() const { return rejection.isEmpty(); }
    };

    // `needsHbn`: the device is an HBN unit, so the document must also carry an "hbn" record.
    static Plan plan(const QByteArray &text, bool needsHbn);
    // The same for an open file, read no further than one byte beyond the bound: a file of any
    // size is refused without being read whole.
    static Plan plan(QIODevice *file, bool needsHbn);

    // The lines that tell a person which values the device refused (each its path and the
    // device's answer, as `RemoteDevice::loadParameters` gives them) and what that leaves in
    // the device: plain text, a bounded number of bounded lines.
    static QStringList refusalReport(const QStringList &refused);

private:
    explicit ParameterImport(Plan *plan)
        : m_plan(plan)
    {}

    bool addRecord(const QJsonObject &root, const QString &record);
    bool addObject(const QJsonObject &object, const QString &prefix, int depth);
    bool addMember(const QString &path, const QString &key, const QJsonValue &value, int depth);
    bool reject(const QString &reason);

    Plan *m_plan = nullptr;
};
