#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

// Tells its owner that every request of one sequence is gone. The completion callbacks of the
// sequence's requests each hold the token, and a request lets go of its callback when it is
// destroyed: after it called back, or unanswered, when a queue is emptied (a drop, the end of
// monitoring) or a request finds no channel. When the last holder lets go, `released` runs on the
// owner's thread from its event loop, never inside the emptying of a queue, and not at all once
// the owner is gone. Requests are released on the GUI thread, where their owners live.
class ReleaseToken
{
public:
    using Ptr_t = std::shared_ptr<ReleaseToken>;

    static Ptr_t make(QObject* owner, std::function<void()> released);
    ~ReleaseToken();

    ReleaseToken(const ReleaseToken&) = delete;
    ReleaseToken& operator=(const ReleaseToken&) = delete;

private:
    ReleaseToken(QObject* owner, std::function<void()> released);

    QPointer<QObject> owner;
    std::function<void()> released;
};
