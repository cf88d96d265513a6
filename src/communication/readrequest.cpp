#include "communication/readrequest.h"

#include "communication/iodevice.h"

#include <QDebug>

namespace {

constexpr qint32 ReadFailed = 1819;

} // namespace

int ReadRequest::doRequest(IoDevice& device)
{
    // Requests are sent again and again; a run that succeeds must not carry the last run's failure.
    error().reset();
    const ProtoEntry& r = registers();
    const int rc = device.read(int(r.rcmd), int(r.offset), int(r.registers), &readData(),
                               timeoutUs());
    if (rc < 0) {
        error().set(1, ReadFailed, rc);
        qDebug() << "virtual int ReadRequest::doRequest(IoDevice&)" << "IoDevice"
                 << error().subCode << rc << r.offset << r.registers << r.rcmd;
    }
    return error().code;
}
