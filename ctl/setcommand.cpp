#include "setcommand.h"

#include "commandtext.h"
#include "ctloutput.h"
#include "devicesession.h"

ExitStatus SetCommand::run(const CtlRequest &request)
{
    QVector<Setting> settings;
    if (!parseSettings(request.arguments, &settings))
        return ExitStatus::Usage;

    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;
    for (const Setting &setting : qAsConst(settings)) {
        QJsonValue reply;
        if (!session.exchange(setting.first, setting.second, &reply))
            return ExitStatus::DeviceFailure;
    }
    if (request.save) {
        session.device().saveConfig();
        if (!session.checkLink())
            return ExitStatus::DeviceFailure;
    }
    return ExitStatus::Success;
}

bool SetCommand::parseSettings(const QStringList &arguments, QVector<Setting> *settings)
{
    for (const QString &argument : arguments) {
        const int equals = argument.indexOf(QLatin1Char('='));
        const QString path = argument.left(equals);
        const QString value =
            equals < 0 ? QString() : CommandText::argument(argument.mid(equals + 1));
        if (equals < 0 || !CommandText::isPath(path) || value.isEmpty()) {
            CtlOutput::error(tr("\"%1\" is not PATH=VALUE.").arg(argument));
            return false;
        }
        settings->append({path, value});
    }
    return true;
}
