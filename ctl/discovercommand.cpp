#include "discovercommand.h"

#include "commandtext.h"

#include "ctloutput.h"
#include "devicediscover.h"
#include "devicevocabulary.h"
#include "printabletext.h"

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
        return CtlOutput::bytes(
                   CommandText::printableJson(QJsonDocument(found), QJsonDocument::Indented))
                   ? ExitStatus::Success
                   : ExitStatus::DeviceFailure;
    }
    QString table = QStringLiteral("%1\t%2\t%3\n").arg(tr("NAME"), tr("TYPE"), tr("ADDRESS"));
    for (const QJsonValue &entry : qAsConst(found)) {
        const QJsonObject device = entry.toObject();
        const QJsonObject id = device.value(QStringLiteral("deviceId")).toObject();
        // Whatever a host calls itself stays one cell of one line.
        const auto shown = [&id](const QString &key) {
            return PrintableText::of(id.value(key).toString(), PrintableText::nameLimitChars);
        };
        table += QStringLiteral("%1\t%2\t%3\n")
                     .arg(shown(RecordKey::deviceName), shown(RecordKey::modelName),
                          device.value(QStringLiteral("address")).toString());
    }
    return CtlOutput::bytes(table.toUtf8()) ? ExitStatus::Success : ExitStatus::DeviceFailure;
}
