#include "model/crc16.h"

#include <array>

namespace {

// The reflected polynomial's effect on each byte value, worked out once at compile time: a byte
// then costs one lookup instead of eight shifts.
constexpr std::array<quint16, 256> makeTable()
{
    std::array<quint16, 256> table{};
    for (int value = 0; value < 256; ++value) {
        quint16 crc = quint16(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        table[std::size_t(value)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> kTable = makeTable();

} // namespace

quint16 crc16(const quint8* data, quint16 length)
{
    quint16 crc = 0xFFFF;
    for (quint16 i = 0; i < length; ++i)
        crc = quint16((crc >> 8) ^ kTable[(crc ^ data[i]) & 0xFF]);
    return quint16((crc >> 8) | (crc << 8));
}
