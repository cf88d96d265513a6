#include "communication/multireadrequest.h"

#include "model/errorcodes.h"
#include "model/resource.h"

using namespace App::ErrorCode;

MultiReadRequest::MultiReadRequest(QList<QSharedPointer<Resource>> resources,
                                   Callback_t callback)
    : ReadRequest(std::move(callback), MonitoringPriority)
    , m_resources(std::move(resources))
{
}

Request::Ptr_t MultiReadRequest::create(QList<QSharedPointer<Resource>> resources,
                                        Callback_t callback)
{
    QSharedPointer<MultiReadRequest> request(
        new MultiReadRequest(std::move(resources), std::move(callback)));
    request->prepare();
    return request;
}

void MultiReadRequest::prepare()
{
    m_entries.clear();
    m_entries.reserve(m_resources.size());
    for (const QSharedPointer<Resource>& resource : qAsConst(m_resources))
        m_entries.append(resource ? resource->registers() : ProtoEntry());
    m_blocks.reserve(m_resources.size());
}

int MultiReadRequest::doRequest(IoDevice& device)
{
    error().reset();
    m_blocks.clear();
    for (const ProtoEntry& entry : qAsConst(m_entries)) {
        registers() = entry;
        readData().clear();
        if (ReadRequest::doRequest(device) != 0)
            break;
        m_blocks.append(readData());
    }
    return error().code;
}

void MultiReadRequest::notify()
{
    const int count = qMin(m_blocks.size(), m_resources.size());
    for (int i = 0; i < count; ++i) {
        const QSharedPointer<Resource>& resource = m_resources.at(i);
        if (!resource || !resource->decode(m_blocks.at(i))) {
            const int kind = resource ? resource->kind() : -1;
            const QString id = resource ? resource->id().toString() : QString();
            error().set(RequestFailed, RequestDataRefused, RequestDataRefusedDetail,
                        QStringLiteral("MultiReadRequest,RS:[%1, %2]").arg(kind).arg(id));
            break;
        }
    }
    m_blocks.clear();
    complete();
}

QList<QSharedPointer<Resource>> MultiReadRequest::resources() const
{
    return m_resources;
}
