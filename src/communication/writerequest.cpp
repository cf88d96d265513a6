#include "communication/writerequest.h"

#include "communication/iodevice.h"
#include "model/errorcodes.h"

using namespace App::ErrorCode;

WriteRequest::WriteRequest(Callback_t callback, int priority)
    : Request(std::move(callback), priority)
{
}

int WriteRequest::doRequest(IoDevice& device)
{
    error().reset();
    const ProtoEntry& r = registers();
    const int rc = device.write(int(r.wcmd), int(r.offset), int(r.registers), &writeData(),
                                timeoutUs(), attempts());
    if (rc < 0)
        error().set(RequestFailed, RequestWriteFailed, rc);
    return error().code;
}
