#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>
#include <QJsonDocument>

class DeviceSession;

// "load FILE [--dry-run]": the dashboard's import, checked whole before anything is sent and
// followed by the store; the dry run compares the file with the device and sends no setting.
class LoadCommand
{
    Q_DECLARE_TR_FUNCTIONS(LoadCommand)

public:
    static ExitStatus run(const CtlRequest &request);

private:
    static ExitStatus readFile(const QString &fileName, QByteArray *text, QJsonDocument *document);
    static ExitStatus import(DeviceSession &session, const QByteArray &text);
    static ExitStatus compare(DeviceSession &session, const QJsonDocument &document);
};
