#pragma once

#include "model/abstractconfig.h"
#include "model/busentry.h"
#include "model/devicetype.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <array>

// The identity of a system detected behind a serial port, condensed from its controller's CPU
// block. Live systems keep it and compare it on every keep-alive read.
struct SystemInfo_t
{
    quint32 kernelSn = 0;
    quint32 kernelId = 0;
    quint32 kernelAux = 0;
    quint32 kernelState = 0;
    double phy1 = 0.0;
    double phy2 = 0.0;
    double vcc12 = 0.0;
    double vcc33 = 0.0;
    double phy5 = 0.0;
    // The controller's own device type.
    quint32 cpuId = 0;
    quint8 addressFlag = 0;
    // The controller's Modbus address on its serial port.
    quint8 address = 0;
    // Supply flags: bit 0 AC (clear DC), bit 1 USB power present.
    quint32 cpuByte = 0;
    quint32 uso1 = 0;
    quint32 uso2 = 0;
    // Carried as the controller reports them; a controller device keeps the second one.
    std::array<quint32, 4> spare{};
    HardwareVersion hw = -1;
    SerialPortConfig port;
    QList<BusEntry> bus;
};

Q_DECLARE_METATYPE(SystemInfo_t)

// The one-line form the live systems and the device pool write to the log.
QString describeSystemInfo(const SystemInfo_t& info);

// Every device of the detected system in bus order: the controller itself (number 0), then its bus.
QList<BusEntry> detectedDevices(const SystemInfo_t& info);
