#pragma once

#include <QtGlobal>

// One bit to set or clear in the controller's alarm control registers.
struct AlarmBitChange
{
    qint32 reg = 0;   // absolute register address
    qint32 bit = 0;   // 0 = least significant bit of the 16-bit register
    qint32 value = 0; // non-zero sets, 0 clears
};
