#include "resourceconfigurator/editorainrules.h"

#include "catalogue/settingsprovider.h"
#include "model/ain.h"

namespace EditorAinRules {

namespace {

// The record keeps the current scale of the other scale mode at these positions.
constexpr int kCurrentSlot = 0;
constexpr int kVoltageSlot = 3;

void saveScale(AinConfig& c, int slot)
{
    c.calibration[size_t(slot)] = c.scMin;
    c.calibration[size_t(slot + 1)] = c.scMax;
    c.calibration[size_t(slot + 2)] = c.scOffset;
}

void restoreScale(AinConfig& c, int slot)
{
    c.scMin = c.calibration[size_t(slot)];
    c.scMax = c.calibration[size_t(slot + 1)];
    c.scOffset = c.calibration[size_t(slot + 2)];
}

// The saved sensor id of a group lives in the record's two carried words, the saved parameters in
// its second and third sensor blocks.
quint32& savedSensorId(AinConfig& c, ParamGroup group)
{
    return group == RtdGroup ? c.reserved1 : c.reserved2;
}

SensorBlock& savedSensor(AinConfig& c, ParamGroup group)
{
    return group == RtdGroup ? c.sensors[1] : c.sensors[2];
}

void save(AinConfig& c, ParamGroup group)
{
    switch (group) {
    case VoltageGroup: saveScale(c, kVoltageSlot); break;
    case CurrentGroup: saveScale(c, kCurrentSlot); break;
    case RtdGroup:
    case NtcGroup:
        savedSensorId(c, group) = quint32(c.tsType);
        savedSensor(c, group) = c.sensors[0];
        break;
    case NoGroup: break;
    }
}

void restore(AinConfig& c, ParamGroup group)
{
    switch (group) {
    case VoltageGroup: restoreScale(c, kVoltageSlot); break;
    case CurrentGroup: restoreScale(c, kCurrentSlot); break;
    case RtdGroup:
    case NtcGroup: {
        const SettingsProvider& catalogue = SettingsProvider::instance();
        const qint32 saved = qint32(savedSensorId(c, group));
        const qint32 fallback =
            group == RtdGroup ? catalogue.defaultRtdSensor : catalogue.defaultNtcSensor;
        c.tsType = saved != 0 ? saved : fallback;
        c.sensors[0] = savedSensor(c, group);
        // Parameters never kept (or kept empty) come from the sensor itself.
        if (!(c.sensors[0].abFactor > 0.0))
            c.sensors[0] = sensorParameters(c.tsType);
        break;
    }
    case NoGroup: break;
    }
}

} // namespace

AinConfig ainConfig(const IoResource::Ptr_t& input)
{
    AbstractConfig config;
    input->exportConfig(config);
    return config.ain;
}

bool isRtd(qint32 range)
{
    return range == Ain::Rtd || range == Ain::Rtd3Wire;
}

bool hasSensor(qint32 range)
{
    return isRtd(range) || range == Ain::Ntc;
}

int modeClass(qint32 range)
{
    switch (range) {
    case Ain::Voltage: return VoltageClass;
    case Ain::Current: return CurrentClass;
    case Ain::Rtd:
    case Ain::Rtd3Wire: return RtdClass;
    case Ain::Ntc: return NtcClass;
    case Ain::Discrete: return DiscreteClass;
    default: return NoClass;
    }
}

ParamGroup paramGroup(qint32 range)
{
    switch (range) {
    case Ain::Voltage: return VoltageGroup;
    case Ain::Current: return CurrentGroup;
    case Ain::Rtd:
    case Ain::Rtd3Wire: return RtdGroup;
    case Ain::Ntc: return NtcGroup;
    default: return NoGroup;
    }
}

int sensorClass(qint32 range)
{
    switch (paramGroup(range)) {
    case RtdGroup: return 3;
    case NtcGroup: return 4;
    default: return 0;
    }
}

SensorBlock sensorParameters(qint32 id)
{
    SensorBlock block;
    SensorInfo sensor;
    if (!SettingsProvider::instance().sensor(id, &sensor))
        return block;
    block.rref = sensor.rRef;
    block.tref = sensor.tRef;
    block.abFactor = sensor.abFactor;
    block.a = sensor.a;
    block.b = sensor.b;
    block.c = sensor.c;
    return block;
}

void switchMode(AinConfig& config, qint32 newMode)
{
    const ParamGroup from = paramGroup(config.range);
    const ParamGroup to = paramGroup(newMode);
    if (from != to) {
        save(config, from);
        restore(config, to);
    }
    config.range = newMode;
}

quint16 filterSteps(int milliseconds, int step)
{
    if (milliseconds <= 0 || step <= 0)
        return 0;
    if (milliseconds <= step)
        return 1;
    const quint16 quotient = quint16(milliseconds / step);
    const quint16 remainder = quint16(milliseconds % step);
    const quint16 half = quint16(step / 2);
    return remainder > half ? quint16(quotient + 1) : quotient;
}

} // namespace EditorAinRules
