#pragma once

#include <QtGlobal>

// One device as the controller's CPU block describes it. Fields stay zero until a sub-block
// fills them; later sub-blocks overwrite earlier ones.
struct CpuRecord
{
    quint32 type = 0;
    // Supply flags: bit 0 AC (clear DC), bit 1 USB power present.
    quint8 byteA = 0;
    quint8 addressFlag = 0;
    quint8 address = 0;
    quint8 byteD = 0;
    quint32 word1 = 0;
    quint32 word2 = 0;
    quint32 word3 = 0;
    // The device sends a single byte.
    quint32 revision = 0;
    float value1 = 0.0f;
    float value2 = 0.0f;
    float value3 = 0.0f; // 12 V supply
    float value4 = 0.0f; // 3.3 V supply
    float value5 = 0.0f;
    quint32 serialNumber = 0;
    quint32 id = 0;
    quint32 aux = 0;
    // 14 means the device is configured on the bus but does not answer.
    quint16 state = 0;
};
