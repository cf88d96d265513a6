#pragma once

#include "communication/request.h"

// A request that reads: one transfer of its register range into its read data.
class ReadRequest : public Request
{
public:
    // Appends to the read data; a failure sets {1, 1819, result}.
    int doRequest(IoDevice& device) override;

protected:
    using Request::Request;
};
