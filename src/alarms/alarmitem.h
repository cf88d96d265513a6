#pragma once

#include "model/devicetype.h"

#include <QList>
#include <QMetaType>
#include <QString>

// One alarm bit of one device as the controller reports it, and, on its way back to the device,
// what the user asked to do with it.
struct AlarmItem
{
    // Which of the device's three alarm words holds the bit.
    enum Group { Own = 0, AnalogueInputs = 1, AnalogueOutputs = 2, GroupCount = 3 };
    enum Change { NoChange, Acknowledge, Mask, Unmask };

    int device = 0; // number in bus order, the controller first
    DeviceType_t deviceType = 0;
    HardwareVersion revision = -1;
    int group = Own;
    int bit = 0; // the alarm for Own, the channel for the input and output words
    bool active = false;
    bool latched = false;
    bool masked = false;
    Change change = NoChange;
    // From the catalogue; empty when it has no text for the code.
    QString description;
    QString display;

    // The catalogue's alarm code: the bit of a device's own word, one code per channel word.
    int code() const;
    // Word index within one half of the alarm blocks.
    int word() const { return device * GroupCount + group; }
    bool sameAlarm(const AlarmItem& other) const
    {
        return device == other.device && group == other.group && bit == other.bit;
    }
};

Q_DECLARE_METATYPE(AlarmItem)
Q_DECLARE_METATYPE(QList<AlarmItem>)
