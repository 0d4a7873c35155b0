#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// The misbehaviour an operator or a test asks for: silence, lost, late, broken-up, oversized,
// misnamed or nonsense replies, a missing prompt, duplicated replies, unasked output, a state that
// is none and a serial line that goes dead.
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
        int duplicateMs = 0;   // UDP: every reply once more, that long after the first; 0 never
        int extraPromptMs = 0; // terminals: one more prompt that long after each reply; 0 never
        int bannerMs = 0;      // terminals: an unasked boot banner that long after each reply
        bool badState = false; // "/stateObject" answers a text instead of the state record
        int padBytes = 0;      // white space put in front of every answer
        QString answerAs;      // replies name this path instead of the command's; empty never
        int hangupAfter = -1;  // the serial line goes dead after that many commands; -1 never
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
    void setDelayMs(int ms) { settings.delayMs = ms; }
    int chunkBytes() const { return settings.chunkBytes; }
    int chunkPauseMs() const { return settings.chunkPauseMs; }
    bool sendsPrompt() const { return !settings.noPrompt; }
    int duplicateMs() const { return settings.duplicateMs; }
    int extraPromptMs() const { return settings.extraPromptMs; }
    int bannerMs() const { return settings.bannerMs; }
    bool spoilsState() const { return settings.badState; }
    QByteArray padding() const { return QByteArray(settings.padBytes, ' '); }
    const QString &answerAs() const { return settings.answerAs; }
    bool hangsUp() const;

private:
    Settings settings;
    bool silenced = false;
    int commandCount = 0;
    QRandomGenerator random;
};
