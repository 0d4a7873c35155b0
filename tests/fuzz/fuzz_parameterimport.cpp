// Parameter files from unknown hands: the document's validation, and every command line its
// import would send, for a unit with and without the HBN record.
#include "devicevocabulary.h"
#include "fuzzcheck.h"
#include "parameterimport.h"
#include "wireformat.h"

#include <QBuffer>
#include <QStringList>

#include <algorithm>

namespace {

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

// One step of a path: a word of its own, and not one that could climb out of its tree.
bool isSafeStep(const QString &step)
{
    if (QString(step).remove(QLatin1Char('.')).isEmpty())
        return false;
    for (const QChar c : step) {
        if (isControl(c) || c.isSpace() || c == QLatin1Char('='))
            return false;
    }
    return true;
}

// Takes each line apart as a device reads it, as the device link would write it in a datagram
// (the serial line only adds CR LF): anything a device could take for more, or other, than one
// setting of the document's own trees stops the run.
void inspectLine(const ParameterImport::Command &command, bool hbnUnit)
{
    const QByteArray line = WireFormat::commandLine(command.path, command.value, false);
    // Sized, so that a NUL byte is read as a character and not as the end of the line.
    const QString text = QString::fromUtf8(line.constData(), line.size());
    fuzz::require(std::none_of(text.begin(), text.end(), isControl),
                  "no CR, LF or other control character inside a command");

    const int equals = text.indexOf(QLatin1Char('='));
    fuzz::require(equals > 0 && equals + 1 < text.size(),
                  "every command is a setting: a path, \"=\" and a value");
    const QStringList steps = text.left(equals).split(QLatin1Char('/'));
    fuzz::require(steps.size() >= 3 && steps.first().isEmpty(),
                  "a command path is \"/\", a tree and a key");
    const QString tree = QLatin1Char('/') + steps.at(1);
    fuzz::require(tree == DevicePath::vktTree || (hbnUnit && tree == DevicePath::hbnTree),
                  "a command stays in the \"/vkt/\" tree, or on an HBN unit \"/hbn/\"");
    fuzz::require(std::all_of(steps.cbegin() + 2, steps.cend(), isSafeStep),
                  "every step of a command path is one word that stays in its tree");
}

void checkImport(const QByteArray &bytes, bool hbnUnit)
{
    // Read as the window reads a parameter file: in text mode, through the bounded read.
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    const ParameterImport::Plan plan = ParameterImport::plan(&file, hbnUnit);
    if (!plan.isAccepted()) {
        fuzz::require(plan.commands.isEmpty(), "a refused document sends nothing");
        return;
    }

    for (const ParameterImport::Command &command : plan.commands)
        inspectLine(command, hbnUnit);
}

} // namespace

// Qt 5.15's JSON parser loses the container of a member that a later member of the same key
// replaces: {"b":{"c":0},"b":1} leaks the first object (seed duplicate-key-replaces-object).
// Its frames have no symbols to name it by, so every leak with a frame inside QtCore passes here;
// memory taken with new outside Qt is still checked.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt5Core.so.5\n";
}

void fuzz::checkInput(const QByteArray &bytes)
{
    checkImport(bytes, false);
    checkImport(bytes, true);
}
