#pragma once

#include "communication/controlleridentity.h"
#include "communication/controlrequest.h"

// The password clear a controller owes, for that controller only. Another controller may answer
// on its channel by now (a cable moved, a controller swapped); a clear taken by it would count as
// paid while the owner stays unlocked. In one run on the channel's worker, with nothing else in
// between, the controller's CPU block is read and the clear is written only when the controller
// there has the owner's serial number and type.
class IdentifiedClearRequest : public ControlRequest
{
public:
    // The clear was withheld: another controller answers. No word was written.
    static constexpr qint32 OtherControllerDetail = 0;

    // `cpu` reads the CPU block; the request reads a copy of it, never the object itself.
    static QSharedPointer<IdentifiedClearRequest>
    create(const ProtoEntry& command, const ProtoEntry& password,
           const QSharedPointer<const Resource>& cpu, const ControllerIdentity& owner,
           Callback_t callback);

    // Identifies the controller only once `failed` is set when the request runs; until then it
    // is a plain clear, confirmed by the controller's echo. Set before the request is queued.
    void identifyOnlyAfter(Gate_t failed) { m_identifyAfter = std::move(failed); }

    // A failed read keeps its error record; another controller sets
    // {1, 1822, OtherControllerDetail}.
    int doRequest(IoDevice& device) override;

    // Worker thread while queued or running; the GUI thread after the callback. Null (0, 0) when
    // the block was not read whole.
    const ControllerIdentity& answered() const { return m_answered; }
    bool answeredByAnother() const;

private:
    explicit IdentifiedClearRequest(Callback_t callback);

    ControllerIdentity m_owner;
    ControllerIdentity m_answered;
    Request::Ptr_t m_read;
    Gate_t m_identifyAfter;
};
