#pragma once

#include "statesample.h"

#include <QString>
#include <QVector>

#include <limits>

// Something that happened beside the samples: the link, the tool, or a change in the state
// that an operator looks for in a trend.
struct StateEvent
{
    enum class Kind {
        Connected,
        LinkLost,
        ToolPresent,
        ToolLost,
        ControlModeChanged,
        ForceCommandChanged,
        PositionCommandChanged,
        WeighingStarted,
        WeighingEnded,
        UnitsChanged,
    };

    // The events a new sample brings against the one before it.
    static QVector<StateEvent> changesBetween(const StateSample &previous, const StateSample &next);

    // A short text: in English in a log's event column, which scripts read, and in the
    // operator's language on a plot's marker.
    enum class Language { English, Operator };
    QString text(Language language = Language::English) const;

    qint64 elapsedMs = 0;
    Kind kind = Kind::Connected;
    double value = std::numeric_limits<double>::quiet_NaN(); // the new value, where one goes
};
