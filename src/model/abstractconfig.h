#pragma once

#include "model/resourcekind.h"

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <array>

// The configuration records of the resource kinds. Each kind keeps its own record and copies it
// whole into and out of its member of AbstractConfig; fields without a JSON key are carried so
// that whatever the device or an editor put there survives a round trip.

// Sensor parameters of an analogue input. Only the first block of AinConfig is used; the other two
// are carried.
struct SensorBlock
{
    qint32 rref = 0;        // "rref", reference resistance in ohms
    qint32 tref = 0;        // "tref", reference temperature in degrees Celsius
    double abFactor = 0.0;  // "ab-factor": alpha of a resistance thermometer, beta of a thermistor
    double a = 0.0;         // "precision" / "A"
    double b = 0.0;         // "precision" / "B"
    double c = 0.0;         // "precision" / "C"

    bool operator==(const SensorBlock& o) const;
    bool operator!=(const SensorBlock& o) const { return !(*this == o); }
};

struct AinConfig
{
    qint32 range = 0;             // "range"
    qint16 onePole = 0;           // "onePole"
    qint8 median = 0;             // "median"
    bool freq60 = false;          // "freq60"
    // Device-wide: 1 or 2; "pollAin" is true exactly when this is 2.
    qint32 pollAin = 1;
    float scMin = 0.0f;           // "sc-min"
    float scMax = 10.0f;          // "sc-max"
    float scOffset = 0.0f;        // "sc-offset"
    // Kept for the calibration editor; neither the device nor the file stores them.
    std::array<float, 6> calibration{{4.0f, 20.0f, 0.0f, 0.0f, 10.0f, 0.0f}};
    qint32 tsType = 0;            // "ts-type", a sensor id of the catalogue
    quint32 reserved1 = 0;
    quint32 reserved2 = 0;
    std::array<SensorBlock, 3> sensors{};  // sensors[0] is "thermo"

    bool operator==(const AinConfig& o) const;
    bool operator!=(const AinConfig& o) const { return !(*this == o); }
};

struct AoutConfig
{
    quint16 reserved1 = 0;
    quint16 reserved2 = 0;
    quint16 save = 0;             // "save", the output value in the safe state
    quint32 blockWord = 0;        // travels between the device block and the record only

    bool operator==(const AoutConfig& o) const;
    bool operator!=(const AoutConfig& o) const { return !(*this == o); }
};

struct DinConfig
{
    bool filterOn = false;        // "filterOn"
    quint16 filter = 1;           // "filter", the filter window
    bool ac = false;              // "ac"
    // Device-wide polling switches.
    bool pollCntr = false;        // "pollCntr"
    bool pollFreq = false;        // "pollFreq"

    bool operator==(const DinConfig& o) const;
    bool operator!=(const DinConfig& o) const { return !(*this == o); }
};

struct DoutConfig
{
    qint16 save = 0;              // "save", the output state in the safe state
    quint16 reserved = 0;

    bool operator==(const DoutConfig& o) const;
    bool operator!=(const DoutConfig& o) const { return !(*this == o); }
};

struct SerialPortConfig
{
    // The controller's own rate outside mode 1; the model sets 115200 on new ports in mode 1.
    quint32 baud = 3750000;       // "baud"
    quint8 parity = 0;            // "parity"
    quint8 sbits = 2;             // "sbits"
    quint16 blockWord = 0;        // travels between the device block and the record only
    quint16 delay = 0;            // "delay"
    quint8 mode = 0;              // "mode"
    quint8 address = 1;           // "address"
    quint32 safeTime = 2000;      // "safeTime"

    bool operator==(const SerialPortConfig& o) const;
    bool operator!=(const SerialPortConfig& o) const { return !(*this == o); }
};

// The settings a device holds for all its resources of one kind, plus its label.
struct DeviceConfig
{
    quint8 pollCntr = 0;
    quint8 pollFreq = 0;
    quint32 pollAin = 1;
    QString label;                // the device's "label"

    bool operator==(const DeviceConfig& o) const;
    bool operator!=(const DeviceConfig& o) const { return !(*this == o); }
};

// The editable configuration of one resource or device as editors and undo commands pass it
// around. Only the member named by `kind` is meaningful; a resource ignores a record of another
// kind, so a default record (kind None) changes nothing wherever it is imported.
struct AbstractConfig
{
    qint32 kind = ResourceKind::None;
    AinConfig ain;
    AoutConfig aout;
    DinConfig din;
    DoutConfig dout;
    SerialPortConfig port;
    DeviceConfig device;

    bool operator==(const AbstractConfig& o) const;
    bool operator!=(const AbstractConfig& o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(AbstractConfig)
