#pragma once

#include "model/device.h"

#include <array>

// A programmable controller.
class Plc : public Device
{
public:
    explicit Plc(const DeviceHandle& handle);
    ~Plc() override;

    int deviceClass() const override;
    QString identityKey() const override;

    // The first word is the PLC's serial number.
    quint32 serialNumber() const { return m_words[0]; }

private:
    std::array<quint32, 4> m_words{};
};
