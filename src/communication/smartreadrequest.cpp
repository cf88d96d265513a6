#include "communication/smartreadrequest.h"

#include "model/errorcodes.h"
#include "model/resource.h"

using namespace App::ErrorCode;

SmartReadRequest::SmartReadRequest(QSharedPointer<Resource> target, Callback_t callback,
                                   int priority)
    : ReadRequest(std::move(callback), priority)
    , m_target(std::move(target))
{
}

Request::Ptr_t SmartReadRequest::create(QSharedPointer<Resource> target, Callback_t callback,
                                        int priority)
{
    QSharedPointer<SmartReadRequest> request(
        new SmartReadRequest(std::move(target), std::move(callback), priority));
    request->prepare();
    return request;
}

void SmartReadRequest::prepare()
{
    m_start.reset();
    m_single = false;
    m_singleEntry = ProtoEntry();
    if (!m_target)
        return;
    m_start = m_target->scratchReader();
    if (!m_start && m_target->hasBlockToRead()) {
        m_single = true;
        m_singleEntry = m_target->registers();
    }
}

int SmartReadRequest::doRequest(IoDevice& device)
{
    error().reset();
    m_blocks.clear();
    if (!m_target)
        return -1;

    if (m_start) {
        // A fresh copy per run, so a request sent again starts where the target stood when it
        // was prepared.
        const QSharedPointer<Resource> reader = m_start->scratchReader();
        if (reader)
            return readSteps(device, *reader) != 0 ? error().code : readWhole(*reader);
        return error().code;
    }
    if (m_single) {
        registers() = m_singleEntry;
        readData().clear();
        if (ReadRequest::doRequest(device) == 0)
            m_blocks.append(readData());
    }
    return error().code;
}

int SmartReadRequest::readSteps(IoDevice& device, Resource& reader)
{
    while (reader.hasBlockToRead()) {
        registers() = reader.registers();
        readData().clear();
        if (ReadRequest::doRequest(device) != 0)
            break;
        m_blocks.append(readData());
        if (!reader.decode(readData())) {
            error().set(RequestFailed, RequestDataRefused, RequestDataRefusedDetail);
            break;
        }
    }
    return error().code;
}

int SmartReadRequest::readWhole(const Resource& reader)
{
    Q_UNUSED(reader)
    return 0;
}

void SmartReadRequest::notify()
{
    if (m_target) {
        for (const QByteArray& block : qAsConst(m_blocks)) {
            if (!m_target->decode(block)) {
                error().set(RequestFailed, RequestDataRefused, RequestDataRefusedDetail);
                break;
            }
        }
        m_target->endRead();
        m_blocks.clear();
        // Re-armed before the callback, which may send the request again at once.
        prepare();
    }
    complete();
}

QList<QSharedPointer<Resource>> SmartReadRequest::resources() const
{
    return {m_target};
}
