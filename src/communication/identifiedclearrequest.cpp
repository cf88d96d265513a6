#include "communication/identifiedclearrequest.h"

#include "communication/smartreadrequest.h"
#include "model/errorcodes.h"
#include "model/korcpu.h"

using namespace App::ErrorCode;

IdentifiedClearRequest::IdentifiedClearRequest(Callback_t callback)
    : ControlRequest(std::move(callback), ControlPriority)
{
}

QSharedPointer<IdentifiedClearRequest>
IdentifiedClearRequest::create(const ProtoEntry& command, const ProtoEntry& password,
                               const QSharedPointer<const Resource>& cpu, const ControllerIdentity& owner,
                               Callback_t callback)
{
    QSharedPointer<IdentifiedClearRequest> clear(new IdentifiedClearRequest(std::move(callback)));
    clear->makeClear(command, password);
    clear->m_owner = owner;
    // The read is the request's own: its target is a fresh copy that nothing else touches, and it
    // is never notified, so only the worker uses it.
    if (cpu)
        clear->m_read = SmartReadRequest::create(cpu->scratchReader(), nullptr);
    return clear;
}

int IdentifiedClearRequest::doRequest(IoDevice& device)
{
    error().reset();
    m_answered = {};
    if (m_identifyAfter && !m_identifyAfter->load())
        return ControlRequest::doRequest(device);
    if (!m_read || m_read->doRequest(device) != 0) {
        if (m_read)
            error() = m_read->error();
        else
            error().set(RequestFailed, RequestReadFailed, -1);
        return 1;
    }
    const auto& read = static_cast<const SmartReadRequest&>(*m_read);
    const QSharedPointer<Resource> block = read.target()->scratchReader();
    for (const QByteArray& data : read.blocks())
        block->decode(data);
    const QList<CpuRecord>& records = static_cast<const KorCpu&>(*block).records();
    if (!records.isEmpty())
        m_answered = {records.first().serialNumber, records.first().type};
    if (m_answered != m_owner) {
        error().set(RequestFailed, RequestControlWriteFailed, OtherControllerDetail);
        return 1;
    }
    return ControlRequest::doRequest(device);
}

bool IdentifiedClearRequest::answeredByAnother() const
{
    return m_answered != ControllerIdentity() && m_answered != m_owner;
}
