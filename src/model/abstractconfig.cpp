#include "model/abstractconfig.h"

bool SensorBlock::operator==(const SensorBlock& o) const
{
    return rref == o.rref && tref == o.tref && abFactor == o.abFactor && a == o.a && b == o.b
           && c == o.c;
}

bool AinConfig::operator==(const AinConfig& o) const
{
    return range == o.range && onePole == o.onePole && median == o.median && freq60 == o.freq60
           && pollAin == o.pollAin && scMin == o.scMin && scMax == o.scMax
           && scOffset == o.scOffset && calibration == o.calibration && tsType == o.tsType
           && reserved1 == o.reserved1 && reserved2 == o.reserved2 && sensors == o.sensors;
}

bool AoutConfig::operator==(const AoutConfig& o) const
{
    return reserved1 == o.reserved1 && reserved2 == o.reserved2 && save == o.save
           && blockWord == o.blockWord;
}

bool DinConfig::operator==(const DinConfig& o) const
{
    return filterOn == o.filterOn && filter == o.filter && ac == o.ac && pollCntr == o.pollCntr
           && pollFreq == o.pollFreq;
}

bool DoutConfig::operator==(const DoutConfig& o) const
{
    return save == o.save && reserved == o.reserved;
}

bool SerialPortConfig::operator==(const SerialPortConfig& o) const
{
    return baud == o.baud && parity == o.parity && sbits == o.sbits && blockWord == o.blockWord
           && delay == o.delay && mode == o.mode && address == o.address && safeTime == o.safeTime;
}

bool DeviceConfig::operator==(const DeviceConfig& o) const
{
    return pollCntr == o.pollCntr && pollFreq == o.pollFreq && pollAin == o.pollAin
           && label == o.label;
}

bool AbstractConfig::operator==(const AbstractConfig& o) const
{
    return kind == o.kind && ain == o.ain && aout == o.aout && din == o.din && dout == o.dout
           && port == o.port && device == o.device;
}
