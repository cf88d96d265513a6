#pragma once

#include "catalogue/cataloguerecords.h"
#include "communication/controlleridentity.h"
#include "communication/livesystem.h"
#include "communication/request.h"

#include <atomic>
#include <memory>

class IoDevice;

// What the channel's worker knows, frame by frame, about the controller on the line while a
// password window is open. Every frame of the window runs through it (Request::run), so no frame
// and no clear of any sender goes out or counts outside the rule:
// - the controller's identity (its CPU block: serial number and type) is read before the first
//   frame, which is the password word, and again before the next frame after any frame of the
//   channel failed, the window's or another sender's; after a failure it takes two reads in a row
//   (IdentifiedLink::identify). Another controller there ends the window: nothing more of it goes
//   out. None (silence, noise) withholds the rest of the window's work but not its clear, which
//   reads the identity again;
// - the clear is tried frame by frame, each failed try followed by that read; it counts once it
//   was answered, or, after any frame of the window failed, once two tries in a row were: the
//   password word and the clear are echoed alike, and a late echo of the password word can stand
//   for one answered clear, never for two;
// - a window whose password word never went out set nothing: its clear goes only when it pays a
//   debt or closes what an earlier window of the same controller may have left set (`follows`).
//   On a silent line every clear costs an identity read that waits out its time-outs.
class PasswordSession
{
public:
    using Role = Request::SessionRole;
    // A withheld frame sends nothing and sets {1, 1822, WithheldDetail}; another controller at
    // the identity read sets {1, 1822, OtherControllerDetail}; a failed read keeps its error.
    static constexpr qint32 WithheldDetail = 0;
    static constexpr qint32 OtherControllerDetail = 0;

    // `cpu` null: no identity can be read, so nothing of the window goes out. `halts`: another
    // controller found halts the channel until it is dropped (the window of a selected system,
    // whose sender drops it). `paysDebt`: the window only pays a clear owed from before it; it
    // starts as after a failed frame, for answers still on their way from then.
    PasswordSession(const ControllerIdentity& owner, const QSharedPointer<const Resource>& cpu,
                    bool halts, bool paysDebt = false);

    // Worker thread.
    int run(Request& frame, Role role, IoDevice& device);
    // The next frame reads the identity first. Called on the GUI thread only while no frame of
    // the window is queued or running.
    void identifyNext() { unsure.store(true); }

    // The GUI thread after the window's last callback. The controller read in the owner's place,
    // null when none was read or it was the owner.
    ControllerIdentity other() const { return stranger; }
    // That controller may hold the password: the password word went out since the owner was
    // last read.
    bool owedByOther() const { return strangerOwes; }
    // Worker thread, after a frame ran.
    bool haltsChannel() const { return halts && stranger != ControllerIdentity(); }
    // Worker thread: the password word went out, or may have, and the clear has not run since.
    // The window's frames then go on the line before any other request: whatever comes between
    // them (a keep-alive check that drops the channel) would cut the window off from what its
    // clear finds out.
    bool isOpen() const { return opened; }
    // The GUI thread, before any frame of the window is queued: the earlier window may leave
    // the password set, and this one's clear then stands for its clear too.
    void follows(std::shared_ptr<const PasswordSession> window) { earlier = std::move(window); }

private:
    // Any thread's worker: the controller may hold the password once this window's clear has
    // run, or would run, without a confirmation.
    bool mayLeaveSet() const;
    bool hasSomethingToClear() const;
    // The identity is read before the next frame: the window asks for it, or a frame of the
    // channel failed since the controller was last identified.
    int runFrame(Request& frame, Role role, IoDevice& device);
    bool mustIdentify(IoDevice& device) const;
    bool identify(Request& frame, IoDevice& device);
    int clear(Request& frame, IoDevice& device);

    const ControllerIdentity owner;
    const bool halts;
    Request::Ptr_t read;
    std::atomic<bool> unsure{true};
    // A frame since the password word failed: a late answer may still be on its way.
    bool failed = false;
    // The password word went out since the owner was last read.
    bool passwordSent = false;
    bool opened = false;
    // Read by the worker of a later window, which may be another channel's.
    std::atomic<bool> wordOut{false};
    std::atomic<bool> confirmed{false};
    std::shared_ptr<const PasswordSession> earlier;
    bool ended = false;
    // An identity read found nobody: only the clear may still go out.
    bool unanswered = false;
    ControllerIdentity stranger;
    bool strangerOwes = false;
};

// The frames sent under one controller's password, from the password word to the clear that
// closes them: a configuration write, a rewrite, a monitoring handshake, a clear of its own, the
// payment of a debt. Made on the GUI thread; its frames share one PasswordSession.
class PasswordWindow
{
public:
    // The controller the window works on; null when none is selected, and nothing goes out.
    explicit PasswordWindow(LiveSystem::Ptr_t system);
    // A window that only pays a clear owed by that controller.
    PasswordWindow(const ControllerIdentity& owner, const QSharedPointer<const Resource>& cpu);

    // The frames before the clear have been given up (released unanswered): nobody knows which
    // controller answers now, so the clear identifies it first.
    void releasedBeforeClear() const { session->identifyNext(); }
    // The window comes after `earlier` on the same controller, before that one's end is known.
    void follows(const PasswordWindow& earlier) const { session->follows(earlier.session); }
    // A frame of the window, in sending order; set before it is queued. The one that sends the
    // password word opens the window.
    void enlist(Request& frame) const;
    void open(Request& passwordFrame) const;
    // The clear that closes the window, queued behind its frames on the same channel.
    Request::Ptr_t closingClear(const ProtoEntry& command, const ProtoEntry& password,
                                Request::Callback_t callback) const;

    // After a frame of the window called back: another controller answered in the owner's place.
    static bool answeredByAnother(const Request& frame);
    // That controller, null when none.
    static ControllerIdentity answered(const Request& frame);
    // ... and it may hold the password: it owes the clear as well.
    static bool owedByAnother(const Request& frame);

private:
    std::shared_ptr<PasswordSession> session;
};
