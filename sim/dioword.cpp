#include "dioword.h"

bool DioWord::setInputs(int bits)
{
    if ((bits & ~inputMask) != 0)
        return false;
    m_inputBits = bits;
    return true;
}

void DioWord::setStatus(Bit bit, bool on)
{
    if (on)
        m_statusBits |= bit;
    else
        m_statusBits &= ~bit;
}
