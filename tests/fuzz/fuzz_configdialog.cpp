// The configuration dialog loading whatever a unit may answer: its records, ratings, texts and
// state, given as a document whose members are named as the snapshot's. OK without an edit sends
// nothing; no text from the unit widens the dialog.
#include "configdialog.h"
#include "configdialogdriver.h"
#include "fuzzcheck.h"
#include "jsontext.h"

#include <QApplication>
#include <QJsonDocument>

#include <sanitizer/lsan_interface.h>

namespace {

constexpr int maxDialogSidePx = 2000;

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

} // namespace

// Fontconfig keeps the patterns of each font it looks up, also for texts of later inputs, in
// allocations no frame of ours makes (as for the gauge program): those are left out.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

void fuzz::checkInput(const QByteArray &bytes)
{
    application();
    const ConfigSnapshot snapshot =
        ConfigDialogDriver::snapshotFrom(JsonText::parse(bytes).document.object());
    ConfigDialogDriver::RecordingSink sink;
    ConfigDialog dialog(snapshot, &sink);
    const QSize size = dialog.sizeHint();
    fuzz::require(size.width() < maxDialogSidePx && size.height() < maxDialogSidePx,
                  "no text from the unit sizes the dialog");
    dialog.accept();
    fuzz::require(sink.sent.isEmpty(), "OK without an edit sends nothing");
}
