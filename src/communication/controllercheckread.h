#pragma once

#include "communication/controlleridentity.h"
#include "communication/smartreadrequest.h"

// A read of the controller's CPU block that is also the check that the controller on the line is
// the one the reader works with: the monitoring reads it on every tick. Another controller behind
// the same adapter (a cable moved, a controller swapped) fails the read, and the channel's worker
// sends nothing queued behind it, so neither the next reads, a value write nor anything under the
// password reaches that controller before the channel is dropped.
class ControllerCheckRead : public SmartReadRequest
{
public:
    // The block was read whole and is another controller's; no value of it counts.
    static constexpr qint32 OtherControllerDetail = 0;

    // A null owner reads without the check.
    static Request::Ptr_t create(QSharedPointer<Resource> cpu, const ControllerIdentity& owner,
                                 Callback_t callback);

    int doRequest(IoDevice& device) override;
    bool foundAnotherController() const override;
    // After the read called back: it found another controller on the line.
    static bool answeredByAnother(const Request& read);
    // Null (0, 0) when the block was not read whole.
    const ControllerIdentity& answered() const { return m_answered; }

private:
    ControllerCheckRead(QSharedPointer<Resource> cpu, const ControllerIdentity& owner,
                        Callback_t callback);

    int readWhole(const Resource& reader) override;

    ControllerIdentity m_owner;
    // Worker thread while queued or running; the GUI thread after the callback.
    ControllerIdentity m_answered;
};
