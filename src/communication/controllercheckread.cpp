#include "communication/controllercheckread.h"

#include "model/errorcodes.h"
#include "model/korcpu.h"

using namespace App::ErrorCode;

ControllerCheckRead::ControllerCheckRead(QSharedPointer<Resource> cpu,
                                         const ControllerIdentity& owner, Callback_t callback)
    : SmartReadRequest(std::move(cpu), std::move(callback))
    , m_owner(owner)
{
}

Request::Ptr_t ControllerCheckRead::create(QSharedPointer<Resource> cpu,
                                           const ControllerIdentity& owner, Callback_t callback)
{
    QSharedPointer<ControllerCheckRead> read(
        new ControllerCheckRead(std::move(cpu), owner, std::move(callback)));
    read->prepare();
    return read;
}

int ControllerCheckRead::doRequest(IoDevice& device)
{
    m_answered = {};
    return SmartReadRequest::doRequest(device);
}

int ControllerCheckRead::readWhole(const Resource& reader)
{
    const QList<CpuRecord>& records = static_cast<const KorCpu&>(reader).records();
    if (!records.isEmpty())
        m_answered = {records.first().serialNumber, records.first().type};
    if (m_owner == ControllerIdentity() || m_answered == m_owner)
        return 0;
    error().set(RequestFailed, RequestDataRefused, OtherControllerDetail);
    return error().code;
}

bool ControllerCheckRead::foundAnotherController() const
{
    return m_owner != ControllerIdentity() && m_answered != ControllerIdentity()
           && m_answered != m_owner;
}

bool ControllerCheckRead::answeredByAnother(const Request& read)
{
    const auto* check = dynamic_cast<const ControllerCheckRead*>(&read);
    return check && check->foundAnotherController();
}
