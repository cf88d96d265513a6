#include "model/pex.h"

Pex::Pex(const DeviceHandle& handle)
    : Device(handle)
{
}

Pex::~Pex() = default;

int Pex::deviceClass() const
{
    return PexClass;
}
