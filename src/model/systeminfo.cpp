#include "model/systeminfo.h"

QString describeSystemInfo(const SystemInfo_t& info)
{
    return QStringLiteral("SysInfo [Kernel]: sn=%1, id=%2. ").arg(info.kernelSn).arg(info.kernelId)
        + QStringLiteral("[Cpu]: id=%1, uso1=%2, uso2=%3, hw=%4 ")
              .arg(info.cpuId)
              .arg(info.uso1)
              .arg(info.uso2)
              .arg(info.hw)
        + QStringLiteral("[Phy]: vcc12=%1, vcc33=%2. ").arg(info.vcc12).arg(info.vcc33)
        + QStringLiteral("[Bus]: size=%1. ").arg(info.bus.size())
        + QStringLiteral("[Sp]: baud=%1, addr=%2").arg(info.port.baud).arg(uint(info.address));
}

QList<BusEntry> detectedDevices(const SystemInfo_t& info)
{
    BusEntry controller;
    controller.type = info.cpuId;
    controller.present = true;
    controller.revision = info.hw;
    controller.id = info.kernelId;
    controller.controller = -1;
    controller.number = 0;
    controller.aux = info.kernelAux;
    QList<BusEntry> devices{controller};
    devices += info.bus;
    return devices;
}
