#include "alarms/alarmreadrequest.h"

AlarmReadRequest::AlarmReadRequest(const ProtoEntry& entry, Callback_t callback, int priority)
    : ReadRequest(std::move(callback), priority)
{
    registers() = entry;
}

void AlarmReadRequest::notify()
{
    complete();
}

QList<QSharedPointer<Resource>> AlarmReadRequest::resources() const
{
    return {};
}
