#pragma once

#include <QString>

// One element of the "Devices" array as the system reader needs it before the device exists.
struct DeviceRecord
{
    QString key;
    QString owner;
    qint32 type = 0;
    qint32 revision = 0;
    qint32 bus = 0;
    QString group;
    // 1 Plc, 2 Tav, 3 Pex; 0 for a class word the program does not know.
    qint32 deviceClass = 0;
};
