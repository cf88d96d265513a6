#include "model/tav.h"

Tav::Tav(const DeviceHandle& handle)
    : Device(handle)
{
}

Tav::~Tav() = default;

int Tav::deviceClass() const
{
    return TavClass;
}

void Tav::setSystemInfo(const SystemInfo_t& info)
{
    m_serialNumber = info.kernelSn;
    m_kernelId = info.kernelId;
    m_kernelAux = info.kernelAux;
    m_kernelState = info.kernelState;
    setReadings({info.phy1, info.phy2, info.vcc12, info.vcc33, info.phy5});
    m_address = info.address;
    m_addressFlag = info.addressFlag;
    m_supplyFlags = qint32(info.cpuByte);
    setSystemWord(info.spare[1]);
}

QString Tav::identityKey() const
{
    return serialKey(m_serialNumber);
}

int Tav::supplyFlags() const
{
    return m_supplyFlags;
}

void Tav::setSupplyFlags(int flags)
{
    m_supplyFlags = flags;
}
