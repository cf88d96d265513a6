#pragma once

#include "model/device.h"

// An expansion I/O module on a controller's module bus.
class Pex : public Device
{
public:
    explicit Pex(const DeviceHandle& handle);
    ~Pex() override;

    int deviceClass() const override;
};
