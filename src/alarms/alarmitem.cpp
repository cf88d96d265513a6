#include "alarms/alarmitem.h"

namespace {

constexpr int AnalogueInputCode = 100;
constexpr int AnalogueOutputCode = 101;

} // namespace

int AlarmItem::code() const
{
    switch (group) {
    case AnalogueInputs:
        return AnalogueInputCode;
    case AnalogueOutputs:
        return AnalogueOutputCode;
    default:
        return bit;
    }
}
