#include "communication/changealarmrequest.h"

#include "communication/iodevice.h"
#include "model/errorcodes.h"

using namespace App::ErrorCode;

ChangeAlarmRequest::ChangeAlarmRequest(Callback_t callback, int priority)
    : Request(std::move(callback), priority)
{
}

void ChangeAlarmRequest::applyChanges(quint32 firstRegister, const QList<AlarmBitChange>& changes,
                                      QByteArray* image)
{
    if (!image)
        return;
    for (const AlarmBitChange& change : changes) {
        if (change.bit < 0 || change.bit > 15)
            continue;
        const qint64 at = (qint64(change.reg) - qint64(firstRegister)) * 2;
        if (at < 0 || at + 1 >= image->size())
            continue;
        const int i = int(at);
        quint16 word = quint16(quint8(image->at(i)) | (quint8(image->at(i + 1)) << 8));
        const quint16 mask = quint16(1u << change.bit);
        if (change.value != 0)
            word |= mask;
        else
            word &= quint16(~mask);
        (*image)[i] = char(word & 0xFF);
        (*image)[i + 1] = char(word >> 8);
    }
}

int ChangeAlarmRequest::doRequest(IoDevice& device)
{
    error().reset();
    // The device appends: a request sent again must not write the last run's image first.
    readData().clear();
    const ProtoEntry& r = registers();
    int rc = device.read(int(r.rcmd), int(r.offset), int(r.registers), &readData(), timeoutUs());
    if (rc < 0) {
        error().set(RequestFailed, RequestReadFailed, rc);
        return 1;
    }
    applyChanges(r.offset, m_changes, &readData());
    rc = device.write(int(r.wcmd), int(r.offset), int(r.registers), &readData(), timeoutUs(), 1);
    if (rc < 0)
        error().set(RequestFailed, RequestControlWriteFailed, rc);
    return error().code;
}

void ChangeAlarmRequest::notify()
{
    complete();
}

QList<QSharedPointer<Resource>> ChangeAlarmRequest::resources() const
{
    return {};
}
