#pragma once

#include "simanswer.h"

#include <QString>

#include <optional>

class FaultInjector;
class SimDevice;

// The way every endpoint hands a received command to the device: traced, then answered unless a
// fault keeps the device quiet.
class CommandService
{
public:
    CommandService(SimDevice *device, FaultInjector *faults, bool trace);

    // No value: nothing goes back (silent, or the reply is lost).
    std::optional<SimAnswer> process(const QString &command);
    FaultInjector *faults() const { return m_faultInjector; }
    QString greeting() const;

private:
    SimDevice *m_device = nullptr;
    FaultInjector *m_faultInjector = nullptr;
    bool m_trace = false;
};
