#pragma once

#include "communication/controlleridentity.h"
#include "communication/iodevice.h"
#include "communication/request.h"

// A channel's link as the requests on its worker see it: every frame of every sender passes here.
// Once a frame failed (unanswered, broken or refused), its answer may still come and pass for the
// answer of a later frame of the same shape, and the controller behind the adapter may be another
// one by now. So the next write of any kind goes out only after the controller's identity (its
// CPU block: serial number and type) was read again right before it, in a way no late answer can
// pass for. A write the user starts (a live value, an alarm's acknowledge or mask: every write
// outside a password window) reads it first on a healthy link too: an RS-485 adapter or a switch
// may hand the line to another controller between two frames without losing one.
//
// An identity read that finds another controller halts the link: nothing more is written to it,
// and whatever waits behind was meant for the controller that is gone. Silence or noise names
// nobody: the write is withheld, and the link stays in doubt, so that the next write, clear or
// debt reads the identity again once the controller answers.
//
// Worker thread only.
class IdentifiedLink final : public IoDevice
{
public:
    enum class Found { Owner, Other, None };
    struct Identity
    {
        Found found = Found::None;
        // The controller the block names; null when none was read whole.
        ControllerIdentity answered;
        // The failed read's error when none was read; else {1, 1822, OtherControllerDetail}
        // when another one answered.
        Request::Error_t error;
    };
    // What a write withheld for want of an identity returns; no frame went out.
    static constexpr int WithheldResult = -1;
    static constexpr qint32 OtherControllerDetail = 0;

    explicit IdentifiedLink(IoDevice* device);

    // The link a request runs on: the worker's, or null when it runs on a bare device.
    static IdentifiedLink* of(IoDevice& device);
    // Reads with `cpuRead` (a read of the controller's CPU block) which controller answers on
    // `device`. One read answered whole names it; after a failed frame (`afterFailure`, or one
    // among the reads' own tries) only two reads in a row answered without a failed frame, both
    // naming the owner, identify it: a late answer may stand for one of them, never for both.
    static Identity identify(IoDevice& device, Request& cpuRead, const ControllerIdentity& owner,
                             bool afterFailure);

    // The controller the channel was found with and a read of its CPU block; the writes of
    // senders without an identity read of their own are for it.
    void setController(const ControllerIdentity& owner, Request::Ptr_t cpuRead);
    // Before each request the worker runs: `userWrite` when its writes must read the identity
    // first even on a healthy link; once per request is enough there.
    void beginRequest(bool userWrite);
    // A frame failed since the controller was last identified beyond doubt.
    bool inDoubt() const { return doubt; }
    // After an identity read of a request's own, made with identify() on this link: the owner
    // ends the doubt; with `halts`, another controller halts the link.
    void identified(const Identity& identity, bool halts);
    bool isHalted() const { return halted; }
    // The controller found in the owner's place by the link's own identity read; null when none
    // was read.
    const ControllerIdentity& foundInstead() const { return stranger; }

    int read(int area, int offset, int count, QByteArray* data, int timeoutUs) override;
    int write(int area, int offset, int count, const QByteArray* data, int timeoutUs,
              int attempts) override;
    quint64 failedFrames() const override { return failures; }
    quint64 refusedWrites() const override { return device->refusedWrites(); }
    // Before a write frame: reads the identity first when a frame failed since it was last read,
    // or when the running request's writes read it first. A sender may ask ahead of its write,
    // to look at what it is about to send only once the identity is known.
    bool mayWrite();

private:
    // Counts the frames the transfer just made failed.
    void noteTransfer(quint64 deviceFailuresBefore, int result);

    IoDevice* device;
    ControllerIdentity owner;
    Request::Ptr_t cpuRead;
    bool doubt = false;
    bool halted = false;
    // The running request's writes read the identity first, and it has not been read for it yet.
    bool unidentifiedWrite = false;
    ControllerIdentity stranger;
    quint64 failures = 0;
};
