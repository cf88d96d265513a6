#pragma once

#include "model/devicetype.h"
#include "model/nodeid.h"

#include <QList>
#include <QMetaType>
#include <QString>

// Names one device of the edited system wherever the system editor, its undo commands and the
// system model talk about devices. A handle with a null id names no device: lookups that find
// nothing return a default handle, and callers test the id.
struct DeviceHandle
{
    DeviceType_t type = 0;
    HardwareVersion revision = -1;
    NodeId_t id;
    // The controller whose module bus the device sits on; null for a device on no other device.
    NodeId_t owner;
    // Owner-less devices count from 0 in bus order, modules from 1 under their controller.
    qint32 number = -1;
    // Empty or "none" means no group.
    QString group;

    // For queued connections and QVariant; direct connections need no registration.
    static void registerMetaTypes();
};

Q_DECLARE_METATYPE(DeviceHandle)
