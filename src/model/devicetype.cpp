#include "model/devicetype.h"

int deviceKind(DeviceType_t type)
{
    return int(type >> 24);
}

DeviceType_t setDeviceKind(int kind, DeviceType_t type)
{
    return (type & 0x00FFFFFFu) | (DeviceType_t(kind) << 24);
}

bool isSecondVendorKind(int kind)
{
    return kind == 13 || kind == 16 || kind == 17 || kind == 18;
}

DeviceType_t makeDeviceType(int kind, int first, int second, int third)
{
    return (DeviceType_t(kind) << 24) + ((DeviceType_t(first) & 0xFFu) << 16)
        + ((DeviceType_t(second) & 0xFFu) << 8) + (DeviceType_t(third) & 0xFFu);
}
