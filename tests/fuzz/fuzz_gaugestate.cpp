// The gauges fed device state records as the main window feeds them: the ratings to the scales,
// the measured values, the reported commands, the stroke limits and the control mode,
// each record painted offscreen. Input: one record, or an array of a few in turn. A scale or a
// loop sized by a device value shows up as a hang or a huge allocation.
#include "accelerationgauge.h"
#include "devicevocabulary.h"
#include "forcegauge.h"
#include "fuzzcheck.h"
#include "jsontext.h"
#include "positiongauge.h"
#include "statevalue.h"

#include <QApplication>
#include <QImage>
#include <QJsonArray>

namespace {

constexpr int recordsPerInput = 4;
constexpr int gaugeSidePx = 250;

// As the link reads state members.
using StateValue::number;
using StateValue::truncated;

// Made once and never destroyed: the offscreen platform does not free its screen when the
// application ends, which the leak check at exit would take for a finding.
void startApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_gaugestate";
    static char *argv[] = {name, nullptr};
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}

struct Dashboard
{
    // What the window does with a state record and with the answers to the rating queries.
    void apply(const QJsonObject &record)
    {
        force.setMaxForce(number(record.value(DevicePath::maxForce)));
        position.setMaxPosition(number(record.value(DevicePath::maxPosition)));
        const int mode = truncated(record.value(RecordKey::controlMode));
        force.setCommandFocus(mode & 1);
        position.setCommandFocus(!(mode & 1));
        force.setSoftTouchActive(mode & 4);
        force.setValue(number(record.value(RecordKey::actualForce)));
        position.setValue(number(record.value(RecordKey::actualPosition)));
        acceleration.setValue(number(record.value(RecordKey::accelGravity)));
        force.updateCommandValue(number(record.value(RecordKey::commandForce)));
        position.updateCommandValue(number(record.value(RecordKey::commandPosition)));
        position.setPosLimit(number(record.value(RecordKey::posLimitPosition)));
        position.setNegLimit(number(record.value(RecordKey::negLimitPosition)));
    }

    ForceGauge force;
    PositionGauge position;
    AccelerationGauge acceleration;
};

void checkScale(const CircularGauge &gauge, double rating)
{
    fuzz::require(gauge.minimum < gauge.maximum, "a scale runs upwards");
    fuzz::require(rating <= 0 || gauge.maximum >= rating || !gauge.scaleNote.isEmpty(),
                  "a scale covers the device's rating, or says it does not");
}

} // namespace

// Fontconfig, under the offscreen platform, keeps allocations of its own that no frame of ours
// makes, as tests/lsan.supp says for the test suite; only those are left out of the leak check.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libqoffscreen.so\n";
}

void fuzz::checkInput(const QByteArray &bytes)
{
    startApplication();
    // Read as the link reads a reply.
    const QJsonDocument document = JsonText::parse(bytes).document;
    QJsonArray records = document.isArray() ? document.array() : QJsonArray{document.object()};
    Dashboard dashboard;
    QImage image(gaugeSidePx, gaugeSidePx, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < records.size() && i < recordsPerInput; ++i) {
        const QJsonObject record = records.at(i).toObject();
        dashboard.apply(record);
        checkScale(dashboard.force, number(record.value(DevicePath::maxForce)));
        checkScale(dashboard.position, number(record.value(DevicePath::maxPosition)));
        for (CircularGauge *gauge : {static_cast<CircularGauge *>(&dashboard.force),
                                     static_cast<CircularGauge *>(&dashboard.position),
                                     static_cast<CircularGauge *>(&dashboard.acceleration)}) {
            gauge->resize(gaugeSidePx, gaugeSidePx);
            gauge->render(&image);
        }
    }
}
