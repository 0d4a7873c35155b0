#include "remotedevice.h"

#include "devicelog.h"
#include "devicevocabulary.h"
#include "statevalue.h"

#include <array>
#include <utility>

namespace {

constexpr int pollIntervalMs = 300;
constexpr int pollsWithoutStateLimit = 3;

using StateValue::dioWord;
using StateValue::number;
using StateValue::truncated;
using StateValue::wholeNumber;

// The state members in the order they are examined, each with its signal and conversion.
using MemberEmitter = void (*)(RemoteDevice *, const QJsonValue &);
struct StateMember
{
    const QString &key;
    MemberEmitter emitChange;
};

} // namespace

void RemoteDevice::setPolling(bool enable)
{
    if (enable)
        m_pollTimer.start(pollIntervalMs);
    else
        m_pollTimer.stop();
}

void RemoteDevice::updateState()
{
    const quint64 poll = ++m_pollSerial;
    const QJsonObject state = sendCommand(DevicePath::stateObject).toObject();
    if (state.isEmpty()) {
        // Polling that stopped here would leave the last values on show as if live; a device
        // that keeps answering without its state (busy, updating its firmware) is let go.
        if (!isLinkUsable())
            return;
        if (++m_pollsWithoutState >= pollsWithoutStateLimit) {
            qCDebug(lcDevice) << "No state object in" << m_pollsWithoutState
                              << "polls in a row: ending the link";
            disconnectDevice();
            return;
        }
        m_pollTimer.start(pollIntervalMs);
        return;
    }
    m_pollsWithoutState = 0;

    // Receivers may read the record, so it is stored first; the comparison works on local
    // copies because a receiver may also end the link in the middle.
    const QJsonObject previous = std::exchange(m_stateRecord, state);
    emitMemberChanges(poll, state, previous);
    emitDioChanges(poll, state, previous);
    if (isCurrentPoll(poll))
        emit stateStored();
    if (isCurrentPoll(poll) && isLinkUsable())
        m_pollTimer.start(pollIntervalMs);
}

// False once the link has ended or a newer poll has begun since `poll` did: its values are
// stale then, and must not reach a receiver after the reset or after newer ones.
bool RemoteDevice::isCurrentPoll(quint64 poll) const
{
    return poll == m_pollSerial;
}

void RemoteDevice::emitMemberChanges(quint64 poll, const QJsonObject &state,
                                     const QJsonObject &previous)
{
    static const std::array<StateMember, 10> members{{
        {RecordKey::metricUnits,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->metricUnitsChanged(wholeNumber(v)); }},
        {RecordKey::actualForce,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->actualForceChanged(number(v)); }},
        {RecordKey::actualPosition,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->actualPositionChanged(number(v)); }},
        {RecordKey::accelGravity,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->accelGravityChanged(number(v)); }},
        {RecordKey::commandForce,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->commandForceChanged(number(v)); }},
        {RecordKey::commandPosition,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->commandPositionChanged(number(v)); }},
        {RecordKey::payloadWeight,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->payloadWeightChanged(number(v)); }},
        {RecordKey::controlMode,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->controlModeChanged(truncated(v)); }},
        {RecordKey::posLimitPosition,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->posLimitPositionChanged(number(v)); }},
        {RecordKey::negLimitPosition,
         [](RemoteDevice *d, const QJsonValue &v) { emit d->negLimitPositionChanged(number(v)); }},
    }};

    for (const StateMember &member : members) {
        const QJsonValue value = state.value(member.key);
        if (!isCurrentPoll(poll))
            return;
        if (value != previous.value(member.key))
            member.emitChange(this, value);
    }
}

void RemoteDevice::emitDioChanges(quint64 poll, const QJsonObject &state,
                                  const QJsonObject &previous)
{
    // The bit groups of "dioValue" in the order they are examined; a null signal is the tool
    // presence bit, which asks the tool again instead of signalling the bit.
    struct DioGroup
    {
        quint32 mask;
        void (RemoteDevice::*signal)(int);
    };
    static const std::array<DioGroup, 10> groups{{
        {DioMask::commandLevel, &RemoteDevice::commandLevelChanged},
        {DioMask::commandNeg, &RemoteDevice::commandNegChanged},
        {DioMask::weighPayload, &RemoteDevice::weighPayloadChanged},
        {DioMask::cpuClock, &RemoteDevice::cpuClockChanged},
        {DioMask::hostCom, &RemoteDevice::hostComChanged},
        {DioMask::toolCom, nullptr},
        {DioMask::posLimit, &RemoteDevice::posLimitChanged},
        {DioMask::negLimit, &RemoteDevice::negLimitChanged},
        {DioMask::okToWeigh, &RemoteDevice::okToWeighChanged},
        {DioMask::weightOk, &RemoteDevice::weightOkChanged},
    }};

    const QString &key = RecordKey::dioValue;
    if (!isConnected() || !state.contains(key) || state.value(key) == previous.value(key))
        return;

    const quint32 value = dioWord(state.value(key));
    const quint32 changed = value ^ dioWord(previous.value(key));
    for (const DioGroup &group : groups) {
        if (!isCurrentPoll(poll))
            return;
        if (!(changed & group.mask))
            continue;
        if (group.signal)
            emit(this->*group.signal)(int(value & group.mask)); // every mask is below bit 31
        else
            updateTool();
    }
}
