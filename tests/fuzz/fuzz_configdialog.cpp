// The configuration dialog loading whatever a unit may answer: its records, ratings, texts and
// state, given as a document whose members are named as the snapshot's. OK without an edit sends
// nothing; a units switch sends the unit system first and then only values it rescaled, none of
// them marked; no text from the unit widens the dialog.
#include "configdialog.h"
#include "configdialogdriver.h"
#include "devicevocabulary.h"
#include "fuzzcheck.h"
#include "jsontext.h"

#include <QApplication>
#include <QJsonDocument>
#include <QRadioButton>

#include <sanitizer/lsan_interface.h>

#include <algorithm>

namespace {

constexpr int maxDialogSidePx = 2000;

// The fields a units switch rescales, with their paths.
const QList<QPair<QString, QString>> rescaled{
    {QStringLiteral("initialForce"), DevicePath::initialForce},
    {QStringLiteral("payloadWeight"), DevicePath::payloadWeight},
    {QStringLiteral("initialPosition"), DevicePath::initialPosition},
    {QStringLiteral("posLimitPosition"), DevicePath::posLimitPosition},
    {QStringLiteral("negLimitPosition"), DevicePath::negLimitPosition},
};

// What Qt and fontconfig set up for the first dialog and its fonts is kept for the program's
// life; only what later inputs leave behind counts as a leak.
void application()
{
    static int argc = 1;
    static char name[] = "fuzz_configdialog";
    static char *argv[] = {name, nullptr};
    if (QApplication::instance())
        return;
    const __lsan::ScopedDisabler setUpOnce;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
    ConfigDialogDriver::RecordingSink sink;
    ConfigDialog(ConfigSnapshot(), &sink).sizeHint();
}

QJsonObject documentOf(const QByteArray &bytes)
{
    return JsonText::parse(bytes).document.object();
}

void requireUnitsSwitchSendsRescaledOnly(ConfigDialog &dialog,
                                         ConfigDialogDriver::RecordingSink &sink)
{
    auto *metric = dialog.findChild<QRadioButton *>(QStringLiteral("metricUnits"));
    auto *english = dialog.findChild<QRadioButton *>(QStringLiteral("englishUnits"));
    QStringList marked;
    for (const auto &field : rescaled) {
        if (!ConfigDialogDriver::markOf(dialog, field.first).isEmpty())
            marked << field.second;
    }
    (metric->isChecked() ? english : metric)->click();
    dialog.accept();
    fuzz::require(sink.sent.size() >= 2
                      && sink.sent.first().startsWith(DevicePath::metricUnits + "=")
                      && sink.sent.last() == QLatin1String("(save)"),
                  "a units switch sends the unit system first and then saves");
    for (const QString &sent : sink.sent.mid(1, sink.sent.size() - 2)) {
        const QString path = sent.section(QLatin1Char('='), 0, 0);
        const QString value = sent.section(QLatin1Char('='), 1);
        fuzz::require(std::any_of(rescaled.begin(), rescaled.end(),
                                  [&path](const auto &field) { return field.second == path; }),
                      "a units switch sends only the values it rescaled");
        fuzz::require(!marked.contains(path), "a marked value is not sent without an edit");
        bool number = false;
        value.toDouble(&number);
        fuzz::require(number, "a rescaled value is sent as a number");
    }
}

} // namespace

void fuzz::checkInput(const QByteArray &bytes)
{
    application();
    const ConfigSnapshot snapshot = ConfigDialogDriver::snapshotFrom(documentOf(bytes));
    ConfigDialogDriver::RecordingSink sink;
    ConfigDialog dialog(snapshot, &sink);
    const QSize size = dialog.sizeHint();
    fuzz::require(size.width() < maxDialogSidePx && size.height() < maxDialogSidePx,
                  "no text from the unit sizes the dialog");
    dialog.accept();
    fuzz::require(sink.sent.isEmpty(), "OK without an edit sends nothing");
    if (!snapshot.toolIdentity.isEmpty())
        requireUnitsSwitchSendsRescaledOnly(dialog, sink);
}
