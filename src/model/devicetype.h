#pragma once

#include <QPair>
#include <QtGlobal>

// Top byte: the catalogue's device kind; the three lower bytes: left board id, right board id,
// board-set code.
using DeviceType_t = quint32;
// -1 means any revision.
using HardwareVersion = qint32;
using TypedRevision_t = QPair<DeviceType_t, HardwareVersion>;

int deviceKind(DeviceType_t type);
DeviceType_t setDeviceKind(int kind, DeviceType_t type);
bool isSecondVendorKind(int kind);
DeviceType_t makeDeviceType(int kind, int first, int second, int third);
