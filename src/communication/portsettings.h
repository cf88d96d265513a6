#pragma once

#include <QString>

// The serial settings of one channel. Every channel talks to its controller the same way, so
// the settings come from the port name alone and never change afterwards.
struct PortSettings_t
{
    // The port's system name ("ttyACM0"), or an absolute device path (pseudo-terminals and
    // links to them).
    QString portName;
    qint32 baudRate = 115200;
    // 0 none, 2 even, 3 odd; any other value is treated as none.
    qint32 parity = 0;
    // 5 to 8; anything else is taken as 8.
    qint32 dataBits = 8;
    // 2 two stop bits, any other value one.
    qint32 stopBits = 2;
    qint32 slaveAddress = 2;
};
