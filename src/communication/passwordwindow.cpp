#include "communication/passwordwindow.h"

#include "communication/controlrequest.h"
#include "communication/identifiedlink.h"
#include "communication/smartreadrequest.h"
#include "model/errorcodes.h"
#include "model/korcpu.h"

#include <QDebug>

using namespace App::ErrorCode;

namespace {

ControllerIdentity identityOf(const LiveSystem::Ptr_t& system)
{
    return system ? ControllerIdentity(system->info().kernelSn, system->info().cpuId)
                  : ControllerIdentity();
}

QSharedPointer<const Resource> cpuOf(const LiveSystem::Ptr_t& system)
{
    return system ? system->cpu() : KorCpu::Ptr_t();
}

const PasswordSession* sessionOf(const Request& frame)
{
    return frame.passwordSession().get();
}

} // namespace

PasswordSession::PasswordSession(const ControllerIdentity& owner,
                                 const QSharedPointer<const Resource>& cpu, bool halts,
                                 bool paysDebt)
    : owner(owner)
    , halts(halts)
    , failed(paysDebt)
    , wordOut(paysDebt)
{
    // The read is the session's own: its target is a fresh copy that nothing else touches, and
    // it is never notified, so only the worker uses it.
    if (cpu)
        read = SmartReadRequest::create(cpu->scratchReader(), nullptr);
}

int PasswordSession::run(Request& frame, Role role, IoDevice& device)
{
    const int result = runFrame(frame, role, device);
    // Whatever came of its clear, the window no longer keeps the line.
    if (role == Role::Clear)
        opened = false;
    return result;
}

int PasswordSession::runFrame(Request& frame, Role role, IoDevice& device)
{
    if (role == Role::Clear && !hasSomethingToClear()) {
        frame.error().set(RequestFailed, RequestControlWriteFailed, WithheldDetail);
        qDebug() << "PasswordWindow, clear not sent: the password word never went out";
        return 1;
    }
    // Silence or noise at an identity read withholds the window's work, never a clear that has
    // something to clear: it reads the identity again and goes out once the owner answers.
    if (ended || (unanswered && role != Role::Clear)) {
        frame.error().set(RequestFailed, RequestControlWriteFailed, WithheldDetail);
        qDebug() << "PasswordWindow, frame withheld: the controller that took the password is not "
                    "known to be on the line";
        return 1;
    }
    // Withheld by its own gate: nothing goes out, so there is nobody to identify.
    if (!frame.sendsFrames())
        return frame.doRequest(device);
    if (mustIdentify(device) && !identify(frame, device))
        return 1;
    if (role == Role::Clear)
        return clear(frame, device);
    passwordSent = passwordSent || role == Role::Password;
    opened = opened || role == Role::Password;
    if (role == Role::Password)
        wordOut.store(true);
    const int result = frame.doRequest(device);
    if (result != 0) {
        failed = true;
        unsure.store(true);
    }
    return result;
}

bool PasswordSession::hasSomethingToClear() const
{
    return wordOut.load() || (earlier && earlier->mayLeaveSet());
}

bool PasswordSession::mayLeaveSet() const
{
    return !confirmed.load() && hasSomethingToClear();
}

bool PasswordSession::mustIdentify(IoDevice& device) const
{
    const IdentifiedLink* link = IdentifiedLink::of(device);
    return unsure.load() || (link && link->inDoubt());
}

bool PasswordSession::identify(Request& frame, IoDevice& device)
{
    ended = true;
    if (!read) {
        frame.error().set(RequestFailed, RequestReadFailed, -1);
        qDebug() << "PasswordWindow, the controller's identity not read: nothing more goes out";
        return false;
    }
    IdentifiedLink* link = IdentifiedLink::of(device);
    const IdentifiedLink::Identity identity =
        IdentifiedLink::identify(device, *read, owner, failed || (link && link->inDoubt()));
    if (link)
        link->identified(identity, halts);
    if (identity.found == IdentifiedLink::Found::None) {
        ended = false;
        unanswered = true;
        frame.error() = identity.error;
        qDebug() << "PasswordWindow, nobody answers the identity read: the frame is withheld, a "
                    "clear owed waits for the controller";
        return false;
    }
    if (identity.found == IdentifiedLink::Found::Other) {
        frame.error().set(RequestFailed, RequestControlWriteFailed, OtherControllerDetail);
        stranger = identity.answered;
        // A password word sent since the owner was last read may have reached this one.
        strangerOwes = passwordSent;
        qDebug() << "PasswordWindow, another controller answers: sn=" << stranger.first
                 << "type=" << stranger.second << "password sent to it:" << strangerOwes;
        return false;
    }
    ended = false;
    passwordSent = false;
    unsure.store(false);
    return true;
}

int PasswordSession::clear(Request& frame, IoDevice& device)
{
    int answered = 0;
    for (int lost = 0; lost < ControlRequest::ClearTries;) {
        if (mustIdentify(device) && !identify(frame, device))
            return 1;
        if (frame.doRequest(device) == 0) {
            // After a failed frame one answer may be the password word's, late: two in a row
            // cannot both be.
            if (++answered >= (failed ? 2 : 1)) {
                confirmed.store(true);
                return 0;
            }
            continue;
        }
        ++lost;
        answered = 0;
        failed = true;
        unsure.store(true);
    }
    return 1;
}

PasswordWindow::PasswordWindow(LiveSystem::Ptr_t system)
    : session(std::make_shared<PasswordSession>(identityOf(system), cpuOf(system), true))
{
}

PasswordWindow::PasswordWindow(const ControllerIdentity& owner,
                               const QSharedPointer<const Resource>& cpu)
    // The pool lets the owner's debt wait and tries again later; the channel stays as it is. It
    // cannot know what is still on its way from the frames before the debt: its clear counts as
    // any clear after a failed frame.
    : session(std::make_shared<PasswordSession>(owner, cpu, false, true))
{
}

void PasswordWindow::enlist(Request& frame) const
{
    // The clear is in the window from its making.
    if (frame.passwordSession() != session)
        frame.setPasswordSession(session, Request::SessionRole::Frame);
}

void PasswordWindow::open(Request& passwordFrame) const
{
    passwordFrame.setPasswordSession(session, Request::SessionRole::Password);
}

Request::Ptr_t PasswordWindow::closingClear(const ProtoEntry& command, const ProtoEntry& password,
                                            Request::Callback_t callback) const
{
    const QSharedPointer<ControlRequest> clear = ControlRequest::passwordClear(
        command, password, std::move(callback), Request::ControlPriority);
    // The session tries it, frame by frame.
    clear->setAttempts(1);
    clear->setPasswordSession(session, Request::SessionRole::Clear);
    return clear;
}

bool PasswordWindow::answeredByAnother(const Request& frame)
{
    const PasswordSession* session = sessionOf(frame);
    return session && session->other() != ControllerIdentity();
}

ControllerIdentity PasswordWindow::answered(const Request& frame)
{
    const PasswordSession* session = sessionOf(frame);
    return session ? session->other() : ControllerIdentity();
}

bool PasswordWindow::owedByAnother(const Request& frame)
{
    const PasswordSession* session = sessionOf(frame);
    return session && session->owedByOther();
}
