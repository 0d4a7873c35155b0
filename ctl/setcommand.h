#pragma once

#include "ctlrequest.h"
#include "exitstatus.h"

#include <QCoreApplication>
#include <QPair>
#include <QVector>

// "set PATH=VALUE... [--save]": the settings in the order given, each value formatted as the
// dashboard formats it; the first one the device refuses stops the rest and the store.
class SetCommand
{
    Q_DECLARE_TR_FUNCTIONS(SetCommand)

public:
    using Setting = QPair<QString, QString>; // path, argument text

    static ExitStatus run(const CtlRequest &request);

private:
    static bool parseSettings(const QStringList &arguments, QVector<Setting> *settings);
};
