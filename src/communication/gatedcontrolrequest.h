#pragma once

#include "communication/controlrequest.h"
#include "communication/multiwriterequest.h"

#include <atomic>
#include <memory>

// A control request whose command depends on a write queued ahead of it on the same channel:
// the controller must never be told to take up a configuration that did not arrive whole. The
// write opens the gate from its progress callback once its last block is written; both run on
// the channel's worker thread, one after the other, so the gate needs no lock beyond its atomic.
class GatedControlRequest : public ControlRequest
{
public:
    // A command that was not sent because its write failed; no transfer was made.
    static constexpr qint32 WithheldDetail = 0;

    GatedControlRequest(Gate_t gate, Callback_t callback, int priority);

    static Gate_t makeGate();
    // The progress callback for the write: opens the gate when every block has been written.
    static MultiWriteRequest::Progress_t opener(const Gate_t& gate);

    // A closed gate sets {1, 1822, WithheldDetail} and returns 1 without a transfer.
    int doRequest(IoDevice& device) override;
    bool sendsFrames() const override { return gate && gate->load(); }

private:
    Gate_t gate;
};
