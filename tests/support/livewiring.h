#pragma once

#include "communication/communicationwiring.h"

// End-to-end tests wire through the window's own function; this name stays for tests written
// before it existed.
inline void wireAsMainWindow(DevicePool* pool, Communication* communication)
{
    wireCommunication(communication, pool);
}
