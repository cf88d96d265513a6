#include "model/plc.h"

Plc::Plc(const DeviceHandle& handle)
    : Device(handle)
{
}

Plc::~Plc() = default;

int Plc::deviceClass() const
{
    return PlcClass;
}

QString Plc::identityKey() const
{
    return serialKey(m_words[0]);
}
