#pragma once

#include "model/resourcekind.h"

#include <QMetaType>
#include <QtGlobal>

#include <array>

// The live-value records of the resource kinds, copied whole through AbstractValue.

struct AinValue
{
    double value = 0.0;           // "ain": scaled
    double raw = 0.0;             // "ain-raw": unscaled measurement
    qint32 extra = 0;
    // 0 none, 1 overload, 2 under, 3 outrange.
    quint32 status = 0;
    quint8 freeze = 0;            // "rtd-frz"
};

struct AoutValue
{
    quint8 control = 0;           // set by the editor with every value it sends
    quint8 overload = 0;
    quint16 value = 0;            // "aout", millivolts
    qint16 overrideValue = 0;      // "aout-over", millivolts forced onto the output (signed)
};

struct DinValue
{
    quint32 value = 0;            // "din"
    quint32 counter = 0;          // "din-cntr"
    quint32 frequency = 0;        // "din-freq"
    // The reset request in the low byte; the high byte stays 0.
    quint16 reset = 0;            // "cntr-rst"
};

struct DoutValue
{
    quint8 control = 0;
    quint16 value = 0;            // "dout"
    quint16 overrideValue = 0;     // "dout-over"
};

struct SerialPortValue
{
    std::array<quint32, 3> words{};
};

// The live value of one resource as the editors and the monitoring loop pass it around. Only the
// member named by `kind` is meaningful; a resource ignores a record of another kind. Callers that
// want "no value" set kind to ResourceKind::Block before letting a resource export into it.
// Every field starts at zero, so a record a caller only partly fills never carries stray bytes to
// a device.
struct AbstractValue
{
    qint32 kind = ResourceKind::None;
    AinValue ain;
    AoutValue aout;
    DinValue din;
    DoutValue dout;
    SerialPortValue port;
};

Q_DECLARE_METATYPE(AbstractValue)
