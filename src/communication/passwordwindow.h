#pragma once

#include "catalogue/cataloguerecords.h"
#include "communication/livesystem.h"
#include "communication/request.h"

// The frames sent under one controller's password, from the password word to the clear that
// closes them: a configuration write, a rewrite, a monitoring handshake, a clear of its own. While
// every frame is answered, the controller on the line is the one that took the password, and the
// clear's echo confirms that it is locked again. Once a frame has failed (no answer, an exception,
// a bad CRC, the port lost), another controller may answer behind the same adapter by now: a plain
// clear would lock that one and count as confirmed while the first stays unlocked. The closing
// clear then reads the controller's identity first and clears only the controller that took the
// password; when another answers, or none, it fails and the clear stays owed.
class PasswordWindow
{
public:
    // The controller the window works on; null when none is selected.
    explicit PasswordWindow(LiveSystem::Ptr_t system);

    // A window that begins after frames were lost: its clear always identifies the controller.
    void markFailed();
    // A frame of the window; set before it is queued.
    void enlist(Request& frame) const;
    // The clear that closes the window, queued behind its frames on the same channel.
    Request::Ptr_t closingClear(const ProtoEntry& command, const ProtoEntry& password,
                                Request::Callback_t callback) const;

    // After the closing clear called back: it found another controller on the line.
    static bool answeredByAnother(const Request& clear);

private:
    LiveSystem::Ptr_t system;
    Request::Gate_t failed;
};
