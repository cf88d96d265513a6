#include "model/devicehandle.h"

void DeviceHandle::registerMetaTypes()
{
    qRegisterMetaType<DeviceHandle>("DeviceHandle");
    qRegisterMetaType<QList<DeviceHandle>>("QList<DeviceHandle>");
}
