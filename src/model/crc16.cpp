#include "model/crc16.h"

quint16 crc16(const quint8* data, quint16 length)
{
    quint16 crc = 0xFFFF;
    for (quint16 i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return quint16((crc >> 8) | (crc << 8));
}
