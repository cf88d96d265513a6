#pragma once

#include "communication/readrequest.h"

// One read of an alarm block; the alarm provider decodes the words in its callback.
class AlarmReadRequest : public ReadRequest
{
public:
    AlarmReadRequest(const ProtoEntry& entry, Callback_t callback, int priority);

    void notify() override;
    QList<QSharedPointer<Resource>> resources() const override;
};
