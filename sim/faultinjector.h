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

    void setSilent(bool on) { m_silenced = on; }
    bool isSilent() const;
    void countCommand() { ++m_commandCount; }
    bool dropsReply();
    bool garbles() const { return m_settings.garbage; }
    QByteArray garbageBytes();
    int delayMs() const { return m_settings.delayMs; }
    void setDelayMs(int ms) { m_settings.delayMs = ms; }
    int chunkBytes() const { return m_settings.chunkBytes; }
    int chunkPauseMs() const { return m_settings.chunkPauseMs; }
    bool sendsPrompt() const { return !m_settings.noPrompt; }
    int duplicateMs() const { return m_settings.duplicateMs; }
    int extraPromptMs() const { return m_settings.extraPromptMs; }
    int bannerMs() const { return m_settings.bannerMs; }
    bool spoilsState() const { return m_settings.badState; }
    QByteArray padding() const { return QByteArray(m_settings.padBytes, ' '); }
    const QString &answerAs() const { return m_settings.answerAs; }
    bool hangsUp() const;

private:
    Settings m_settings;
    bool m_silenced = false;
    int m_commandCount = 0;
    QRandomGenerator m_random;
};
