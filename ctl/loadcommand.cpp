#include "loadcommand.h"

#include "ctloutput.h"
#include "devicesession.h"
#include "devicevocabulary.h"
#include "jsontext.h"
#include "parametercomparison.h"
#include "parameterimport.h"
#include "safefile.h"

#include <QBuffer>

namespace {

const char *const badFileText = QT_TRANSLATE_NOOP("LoadCommand", "Bad configuration file format!");

} // namespace

ExitStatus LoadCommand::run(const CtlRequest &request)
{
    QByteArray text;
    QJsonDocument document;
    const ExitStatus read = readFile(request.arguments.constFirst(), &text, &document);
    if (read != ExitStatus::Success)
        return read;

    DeviceSession session;
    if (!session.open(request.address))
        return ExitStatus::DeviceFailure;
    // Whether an "hbn" record is needed is known only once the device has answered.
    const ParameterImport::Plan plan = ParameterImport::plan(text, session.device().hasDio());
    if (!plan.isAccepted()) {
        CtlOutput::error(QStringLiteral("%1 (%2)").arg(tr(badFileText), plan.rejection));
        return ExitStatus::BadParameterFile;
    }
    return request.dryRun ? compare(session, document) : import(session, text);
}

ExitStatus LoadCommand::readFile(const QString &fileName, QByteArray *text, QJsonDocument *document)
{
    // A regular file only: a named pipe or a device node would hold the run.
    QString reason;
    if (!SafeFile::read(fileName, ParameterImport::fileLimitBytes + 1, text, &reason)) {
        CtlOutput::error(tr("Error opening file! %1: %2").arg(fileName, reason));
        return ExitStatus::DeviceFailure;
    }
    if (text->size() > ParameterImport::fileLimitBytes) {
        CtlOutput::error(QStringLiteral("%1 (%2)").arg(tr(badFileText), tr("file too large")));
        return ExitStatus::BadParameterFile;
    }
    const JsonText::Parsed parsed = JsonText::parse(*text);
    if (!parsed.isValid()) {
        CtlOutput::error(QStringLiteral("%1 (%2 at offset %3)")
                             .arg(tr(badFileText), parsed.error)
                             .arg(parsed.offset));
        return ExitStatus::BadParameterFile;
    }
    *document = parsed.document;
    return ExitStatus::Success;
}

ExitStatus LoadCommand::import(DeviceSession &session, const QByteArray &text)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    // The file has passed the same checks the import makes, so a failure here is a lost link
    // or values the device refused.
    QStringList refused;
    if (!session.device().loadParameters(&buffer, &refused)) {
        if (session.checkLink()) {
            const QStringList report = ParameterImport::refusalReport(refused);
            CtlOutput::error(report.constFirst());
            for (const QString &line : report.mid(1))
                CtlOutput::message(line);
        }
        return ExitStatus::DeviceFailure;
    }
    session.device().saveConfig();
    if (!session.checkLink())
        return ExitStatus::DeviceFailure;
    CtlOutput::message(tr("Configuration downloaded and saved!"));
    return ExitStatus::Success;
}

ExitStatus LoadCommand::compare(DeviceSession &session, const QJsonDocument &document)
{
    RemoteDevice &device = session.device();
    QStringList records{RecordKey::vktRecord};
    QJsonObject deviceDocument;
    deviceDocument.insert(RecordKey::vktRecord, device.vktCfgObject());
    if (device.hasDio()) {
        records << RecordKey::hbnRecord;
        deviceDocument.insert(RecordKey::hbnRecord, device.hbnCfgObject());
    }
    for (const QString &record : qAsConst(records)) {
        if (deviceDocument.value(record).toObject().isEmpty()) {
            if (session.checkLink())
                CtlOutput::error(tr("Error reading configuration from device!"));
            return ExitStatus::DeviceFailure;
        }
    }

    int differences = 0;
    const auto entries = ParameterComparison::compare(deviceDocument, document.object(), records);
    for (const ParameterComparison::Entry &entry : entries) {
        if (!CtlOutput::line(ParameterComparison::line(entry)))
            return ExitStatus::DeviceFailure;
        differences += entry.differs() ? 1 : 0;
    }
    CtlOutput::message(
        tr("%1 of %2 values differ; nothing was sent.").arg(differences).arg(entries.size()));
    return ExitStatus::Success;
}
