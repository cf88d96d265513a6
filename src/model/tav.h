#pragma once

#include "model/device.h"

// A base controller. It is the device that reports the detected system's identity, supply and
// serial-port address, and keeps them.
class Tav : public Device
{
public:
    explicit Tav(const DeviceHandle& handle);
    ~Tav() override;

    int deviceClass() const override;
    void setSystemInfo(const SystemInfo_t& info) override;
    QString identityKey() const override;
    int supplyFlags() const override;
    void setSupplyFlags(int flags) override;

    quint32 serialNumber() const { return m_serialNumber; }
    quint32 kernelId() const { return m_kernelId; }
    quint32 kernelAux() const { return m_kernelAux; }
    quint32 kernelState() const { return m_kernelState; }
    quint8 address() const { return m_address; }
    quint8 addressFlag() const { return m_addressFlag; }

private:
    // Bit 0 set: AC supply, clear: DC; bit 1 set: USB power present.
    qint32 m_supplyFlags = 0;
    quint32 m_serialNumber = 0;
    quint32 m_kernelId = 0;
    quint32 m_kernelAux = 0;
    quint32 m_kernelState = 0;
    // The controller's Modbus address on its serial port.
    quint8 m_address = 0;
    quint8 m_addressFlag = 0;
};
