#pragma once

#include "communication/multiresourceread.h"
#include "communication/request.h"

// Builds the monitoring loop's value reads: items of one read function are sorted by offset and
// merged into as few ranges as one transfer allows (125 registers, 2000 bits), gaps included.
class ReqGen
{
public:
    static bool rangeLess(const RequestItem& a, const RequestItem& b);
    // Null for a read function other than 1 to 4.
    static QSharedPointer<MultiResourceRead> makeMultiResourceRead(const ProtoEntry& entry,
                                                                   Request::Callback_t callback);
    // An item whose read function is not 1 to 4 is left out and logged; the others are read.
    static QList<Request::Ptr_t> makeMonRequests(const QList<RequestItem>& items,
                                                 Request::Callback_t callback);
    static void logMultiRead(const QSharedPointer<MultiResourceRead>& request);

private:
    static bool readable(const RequestItem& item);
};
