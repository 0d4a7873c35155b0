#include "discovercommand.h"

#include "ctloutput.h"
#include "devicediscover.h"
#include "devicevocabulary.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

ExitStatus DiscoverCommand::run(const CtlRequest &request)
{
    QJsonArray found;
    DeviceDiscover discover;
    QEventLoop loop;
    QObject::connect(&discover, &DeviceDiscover::deviceDiscovered, &loop,
                     [&found](const QJsonObject &deviceId, const QString &deviceAddress) {
                         found.append(QJsonObject{{QStringLiteral("address"), deviceAddress},
                                                  {QStringLiteral("deviceId"), deviceId}});
                     });
    QTimer::singleShot(request.waitMs > 0 ? request.waitMs : defaultWaitMs, &loop,
                       &QEventLoop::quit);
    discover.startDiscovery();
    loop.exec();

    if (request.json) {
        CtlOutput::bytes(QJsonDocument(found).toJson(QJsonDocument::Indented));
        return ExitStatus::Success;
    }
    CtlOutput::line(QStringLiteral("%1\t%2\t%3").arg(tr("NAME"), tr("TYPE"), tr("ADDRESS")));
    for (const QJsonValue &entry : qAsConst(found)) {
        const QJsonObject device = entry.toObject();
        const QJsonObject id = device.value(QStringLiteral("deviceId")).toObject();
        CtlOutput::line(QStringLiteral("%1\t%2\t%3")
                            .arg(id.value(RecordKey::deviceName).toString(),
                                 id.value(RecordKey::modelName).toString(),
                                 device.value(QStringLiteral("address")).toString()));
    }
    return ExitStatus::Success;
}
