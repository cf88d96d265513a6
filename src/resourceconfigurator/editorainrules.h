#pragma once

#include "model/abstractconfig.h"
#include "model/ioresource.h"

#include <QtGlobal>

struct SensorInfo;

// What an analogue input's mode implies for the editors: which radio button shows it, which
// settings travel with it when the mode changes, which sensors it takes, and how a filter time
// becomes a number of filter steps.
namespace EditorAinRules {

// The mode classes the radio buttons stand for; two- and three-wire RTD share one.
enum ModeClass { NoClass = 0, RtdClass = 1, NtcClass = 2, VoltageClass = 3, CurrentClass = 4,
                 DiscreteClass = 5 };
// The settings kept aside while an input is in another mode.
enum ParamGroup { NoGroup, VoltageGroup, CurrentGroup, RtdGroup, NtcGroup };

// The analogue-input record of an input.
AinConfig ainConfig(const IoResource::Ptr_t& input);

bool isRtd(qint32 range);
// Resistance thermometers and thermistors take a sensor; the other modes none.
bool hasSensor(qint32 range);
int modeClass(qint32 range);
ParamGroup paramGroup(qint32 range);
// 3 resistance thermometers, 4 thermistors, 0 for a mode without a sensor.
int sensorClass(qint32 range);

// The sensor's six parameters; all zero for an id the catalogue lacks.
SensorBlock sensorParameters(qint32 id);

// Puts the input into `newMode`. Leaving a parameter group keeps its settings aside; entering one
// brings back what was kept (an RTD or NTC never set before gets the catalogue's default sensor).
void switchMode(AinConfig& config, qint32 newMode);

// A filter time in milliseconds as filter steps of `step` ms: anything up to one step is one
// step, beyond that the nearest whole step with the half step rounding down.
quint16 filterSteps(int milliseconds, int step);

} // namespace EditorAinRules
