#pragma once

#include <QByteArray>

// The variable-width LZW compression of GIF image data: codes start one bit
// wider than the symbols, grow up to 12 bits, and a clear code restarts the
// table whenever it is full.
class LzwEncoder
{
public:
    // symbolBits: bits per pixel index, 2 to 8 (the GIF "minimum code size").
    explicit LzwEncoder(int symbolBits);

    // Packs the code stream least significant bit first; every index must be
    // below 1 << symbolBits.
    QByteArray encode(const QByteArray &indices) const;

private:
    int symbolBits = 8;
};
