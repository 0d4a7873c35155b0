#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// The misbehaviour an operator or a test asks for: silence, lost, late, broken-up or nonsense
// replies, and a missing prompt.
class FaultInjector
{
public:
    struct Settings
    {
        int silentAfter = -1; // answer nothing after that many commands; -1 never
        int dropPercent = 0;
        int delayMs = 0;
        int chunkBytes = 0; // 0 sends replies whole
        int chunkPauseMs = 50;
        bool noPrompt = false;
        bool garbage = false;
        quint32 seed = 1;
    };

    explicit FaultInjector(const Settings &settings);

    void setSilent(bool on) { silenced = on; }
    bool isSilent() const;
    void countCommand() { ++commandCount; }
    bool dropsReply();
    bool garbles() const { return settings.garbage; }
    QByteArray garbageBytes();
    int delayMs() const { return settings.delayMs; }
    int chunkBytes() const { return settings.chunkBytes; }
    int chunkPauseMs() const { return settings.chunkPauseMs; }
    bool sendsPrompt() const { return !settings.noPrompt; }

private:
    Settings settings;
    bool silenced = false;
    int commandCount = 0;
    QRandomGenerator random;
};
