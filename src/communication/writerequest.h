#pragma once

#include "communication/request.h"

// A request that writes: one write of its write data to its register range.
class WriteRequest : public Request
{
public:
    // A failure sets {1, 2122, result}.
    int doRequest(IoDevice& device) override;

protected:
    WriteRequest(Callback_t callback, int priority);
};
