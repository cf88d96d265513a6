#pragma once

#include <QtGlobal>

// The Modbus CRC-16 as the controllers' image format stores it: the standard CRC-16/MODBUS value
// with its two bytes swapped, so that a little-endian field holds the standard value high byte
// first. An empty run gives 0xFFFF.
quint16 crc16(const quint8* data, quint16 length);
