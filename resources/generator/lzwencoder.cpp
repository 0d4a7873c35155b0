#include "lzwencoder.h"

#include <unordered_map>

namespace {
constexpr int maxCodeBits = 12;
constexpr int tableSize = 1 << maxCodeBits;
} // namespace

LzwEncoder::LzwEncoder(int symbolBits)
    : symbolBits(symbolBits)
{
}

QByteArray LzwEncoder::encode(const QByteArray &indices) const
{
    const int clearCode = 1 << symbolBits;
    const int endCode = clearCode + 1;

    QByteArray out;
    quint32 bitBuffer = 0;
    int bitCount = 0;
    int codeBits = symbolBits + 1;
    int nextCode = endCode + 1;
    // (prefix code << 8 | symbol) -> code of that string
    std::unordered_map<int, int> table;

    const auto put = [&](int code) {
        bitBuffer |= quint32(code) << bitCount;
        bitCount += codeBits;
        while (bitCount >= 8) {
            out.append(char(bitBuffer & 0xff));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    // The decoder adds its table entry one code later than we do, so the width
    // grows once the table we have built so far fills the current width.
    const auto putString = [&](int code) {
        put(code);
        if (nextCode >= (1 << codeBits) && codeBits < maxCodeBits)
            ++codeBits;
    };

    put(clearCode);
    if (!indices.isEmpty()) {
        int prefix = uchar(indices.at(0));
        for (int i = 1; i < indices.size(); ++i) {
            const int symbol = uchar(indices.at(i));
            const int key = (prefix << 8) | symbol;
            const auto found = table.find(key);
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            putString(prefix);
            if (nextCode < tableSize) {
                table.emplace(key, nextCode++);
            } else {
                put(clearCode);
                table.clear();
                codeBits = symbolBits + 1;
                nextCode = endCode + 1;
            }
            prefix = symbol;
        }
        putString(prefix);
    }
    put(endCode);
    if (bitCount > 0)
        out.append(char(bitBuffer & 0xff));
    return out;
}
