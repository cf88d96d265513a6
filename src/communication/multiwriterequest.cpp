#include "communication/multiwriterequest.h"

#include "communication/identifiedlink.h"

#include "model/errorcodes.h"
#include "model/resource.h"

#include <QDebug>

using namespace App::ErrorCode;

MultiWriteRequest::MultiWriteRequest(Callback_t callback, int priority)
    : WriteRequest(std::move(callback), priority)
{
}

Request::Ptr_t MultiWriteRequest::create(QList<QSharedPointer<Resource>> blocks,
                                         Callback_t callback, Progress_t progress, int priority)
{
    QSharedPointer<MultiWriteRequest> request(new MultiWriteRequest(std::move(callback), priority));
    request->m_blocks = std::move(blocks);
    request->m_progress = std::move(progress);
    request->prepare();
    return request;
}

Request::Ptr_t MultiWriteRequest::createSimple(QList<RequestItem> items, Callback_t callback)
{
    QSharedPointer<MultiWriteRequest> request(
        new MultiWriteRequest(std::move(callback), ControlPriority));
    request->m_items = std::move(items);
    request->prepare();
    return request;
}

void MultiWriteRequest::prepare()
{
    m_outgoing.clear();
    if (!m_blocks.isEmpty()) {
        m_outgoing.reserve(m_blocks.size());
        for (const QSharedPointer<Resource>& block : qAsConst(m_blocks)) {
            Outgoing out;
            if (block) {
                block->encode(&out.data);
                out.entry = block->registers();
                out.kind = block->kind();
                out.id = block->id();
            }
            m_outgoing.append(out);
        }
        return;
    }
    m_outgoing.reserve(m_items.size());
    for (const RequestItem& item : qAsConst(m_items)) {
        Outgoing out;
        if (item.resource) {
            item.resource->encodeValue(item.role, &out.data);
            // The value goes where the resource's role lies, whatever entry the item carries.
            out.entry = item.resource->role(item.role);
            out.kind = item.resource->kind();
            out.id = item.resource->id();
        }
        m_outgoing.append(out);
    }
}

int MultiWriteRequest::doRequest(IoDevice& device)
{
    error().reset();
    m_written = 0;
    m_refused = false;
    if (m_gate && !m_gate->load()) {
        error().set(RequestFailed, RequestPartFailed, WithheldDetail);
        qDebug() << "MultiWriteRequest withheld: the request before it did not succeed";
        return error().code;
    }
    const bool blocks = !m_blocks.isEmpty();
    const int total = m_outgoing.size();
    for (int item = 0; item < total; ++item) {
        const Outgoing& out = m_outgoing.at(item);
        const Take taken = take(item, device);
        if (taken == PassOver) {
            ++m_written;
            continue;
        }
        registers() = out.entry;
        writeData() = out.data;
        if (taken == Send && m_starts)
            m_starts->store(true);
        const quint64 refusedBefore = device.refusedWrites();
        const bool written = taken == Send && WriteRequest::doRequest(device) == 0;
        release(item, written);
        if (!written) {
            m_refused = taken == Send
                        && device.refusedWrites() - refusedBefore >= quint64(qMax(attempts(), 1));
            const QString text = blocks ? tr("MultiWriteRequest,RS:[%1, %2]")
                                        : tr("MultiWriteRequest,RI:[%1, %2]");
            error().set(RequestFailed, RequestPartFailed, RequestPartFailedDetail,
                        text.arg(out.kind).arg(out.id.toString()));
            break;
        }
        ++m_written;
        if (blocks && m_progress)
            m_progress(m_written, total);
    }
    return error().code;
}

MultiWriteRequest::Take MultiWriteRequest::take(int item, IoDevice& device) const
{
    const Claim_t claim = m_claims.value(item);
    if (!claim)
        return Send;
    if (claim->load() == Settled)
        return PassOver;
    // The identity read the write waits for takes seconds on a bad line, and the user may set
    // a later value meanwhile: the claim counts once the write could go.
    IdentifiedLink* link = IdentifiedLink::of(device);
    if (link && !link->mayWrite())
        return Withhold;
    int waiting = Waiting;
    return claim->compare_exchange_strong(waiting, OnTheWire) ? Send : PassOver;
}

void MultiWriteRequest::release(int item, bool written) const
{
    const Claim_t claim = m_claims.value(item);
    if (!claim)
        return;
    int sent = OnTheWire;
    claim->compare_exchange_strong(sent, written ? Settled : Waiting);
}

void MultiWriteRequest::notify()
{
    complete();
}

QList<QSharedPointer<Resource>> MultiWriteRequest::resources() const
{
    return m_blocks;
}
