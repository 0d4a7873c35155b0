#include "dioword.h"

bool DioWord::setInputs(int bits)
{
    if ((bits & ~inputMask) != 0)
        return false;
    inputBits = bits;
    return true;
}

void DioWord::setStatus(Bit bit, bool on)
{
    if (on)
        statusBits |= bit;
    else
        statusBits &= ~bit;
}
