#pragma once

// The HBN unit's digital I/O word: the input lines as last set, and the status bits the unit
// drives itself.
class DioWord
{
public:
    enum Bit : int {
        CommandInputs = 0x3F,
        CommandNeg = 0x40,
        WeighPayloadInput = 0x100,
        CpuClock = 0x10000,
        HostCom = 0x20000,
        ToolCom = 0x40000,
        PosLimit = 0x80000,
        NegLimit = 0x100000,
        OkToWeigh = 0x200000,
        WeightValid = 0x400000,
    };
    static constexpr int inputMask = CommandInputs | CommandNeg | WeighPayloadInput;

    // Refuses bits that are not input lines.
    bool setInputs(int bits);
    int inputs() const { return m_inputBits; }
    void setStatus(Bit bit, bool on);
    int value() const { return m_inputBits | m_statusBits; }

private:
    int m_inputBits = 0;
    int m_statusBits = 0;
};
