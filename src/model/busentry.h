#pragma once

#include "model/devicetype.h"

// One device found on a controller's expansion bus.
struct BusEntry
{
    DeviceType_t type = 0;
    bool present = false;
    HardwareVersion revision = -1;
    quint32 id = 0;
    // For a module the number of the controller it follows; -1 for any other device.
    qint32 controller = -1;
    // A module's position after its controller, or a controller's number among controllers; from 1.
    qint32 number = 0;
    quint32 aux = 0;
};
