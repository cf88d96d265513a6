#include "communication/readrequest.h"

#include "communication/iodevice.h"
#include "model/errorcodes.h"

#include <QDebug>

using namespace App::ErrorCode;

int ReadRequest::doRequest(IoDevice& device)
{
    // Requests are sent again and again; a run that succeeds must not carry the last run's failure.
    error().reset();
    const ProtoEntry& r = registers();
    const int rc = device.read(int(r.rcmd), int(r.offset), int(r.registers), &readData(),
                               timeoutUs());
    if (rc < 0) {
        error().set(RequestFailed, RequestReadFailed, rc);
        qDebug() << "virtual int ReadRequest::doRequest(IoDevice&)" << "IoDevice"
                 << error().subCode << rc << r.offset << r.registers << r.rcmd;
    }
    return error().code;
}
