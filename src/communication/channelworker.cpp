#include "communication/channelworker.h"

#include "communication/iodevice.h"
#include "communication/passwordwindow.h"
#include "model/errorcodes.h"

#include <algorithm>

ChannelWorker::ChannelWorker(IoDevice* device, Completions* completions, QObject* parent)
    : QObject(parent)
    , link(device)
    , completions(completions)
{
}

ChannelWorker::~ChannelWorker() = default;

bool ChannelWorker::ranksBelow(const Request::Ptr_t& a, const Request::Ptr_t& b)
{
    // A null request never reaches the heap, but an order must not crash on one.
    const qint32 pa = a ? a->priority() : 0;
    const qint32 pb = b ? b->priority() : 0;
    if (pa != pb)
        return pa < pb;
    const quint64 sa = a ? a->stamp() : 0;
    const quint64 sb = b ? b->stamp() : 0;
    return sa > sb;
}

bool ChannelWorker::put(Request::Ptr_t request)
{
    std::lock_guard<std::mutex> lock(mutex);
    queue.push_back(std::move(request));
    std::push_heap(queue.begin(), queue.end(), Order());
    const bool wake = !busy;
    busy = true;
    return wake;
}

void ChannelWorker::setController(const ControllerIdentity& owner, Request::Ptr_t cpuRead)
{
    // The read given before and not taken yet goes outside the lock.
    Request::Ptr_t released;
    {
        std::lock_guard<std::mutex> lock(mutex);
        released = std::move(givenRead);
        givenOwner = owner;
        givenRead = std::move(cpuRead);
        controllerGiven = true;
    }
}

int ChannelWorker::size() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return int(queue.size());
}

bool ChannelWorker::isBusy() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return busy;
}

void ChannelWorker::clear()
{
    std::vector<Request::Ptr_t> released;
    {
        std::lock_guard<std::mutex> lock(mutex);
        released.swap(queue);
    }
    // Released outside the lock: a request's destructor may release resources of the model.
}

bool ChannelWorker::take(Request::Ptr_t* request)
{
    std::lock_guard<std::mutex> lock(mutex);
    // Emptiness and the busy flag change together under the lock, so a put either sees the
    // worker busy (and its request is taken by this loop) or idle (and wakes it again).
    if (queue.empty()) {
        busy = false;
        return false;
    }
    busy = true;
    if (controllerGiven) {
        link.setController(givenOwner, std::move(givenRead));
        controllerGiven = false;
    }
    auto next = queue.begin();
    // A frame of the open window left in the queue holds the window alive.
    if (const std::shared_ptr<PasswordSession> open = window.lock()) {
        for (auto it = queue.begin(); it != queue.end(); ++it)
            if ((*it)->passwordSession() == open
                && ((*next)->passwordSession() != open || ranksBelow(*next, *it)))
                next = it;
    }
    if (next == queue.begin()) {
        std::pop_heap(queue.begin(), queue.end(), Order());
    } else {
        std::iter_swap(next, queue.end() - 1);
        std::make_heap(queue.begin(), queue.end() - 1, Order());
    }
    *request = std::move(queue.back());
    queue.pop_back();
    return true;
}

void ChannelWorker::processQueue()
{
    Request::Ptr_t request;
    while (take(&request)) {
        if (!request)
            continue;
        if (halted || request->isWithdrawn()) {
            request->error().set(App::ErrorCode::RequestFailed, Request::WithdrawnSubCode, 0);
            handBack(std::move(request), 1);
            continue;
        }
        const bool linkHalted = link.isHalted();
        // A password window reads the identity itself, before its password word; any other
        // write is one the user started.
        link.beginRequest(!request->passwordSession());
        const int result = request->run(link);
        const std::shared_ptr<PasswordSession>& ran = request->passwordSession();
        window = ran && ran->isOpen() ? ran : std::shared_ptr<PasswordSession>();
        // The link's own identity read found another controller before a write of this one.
        if (!linkHalted && link.isHalted() && !request->passwordSession())
            request->setFoundInstead(link.foundInstead());
        // Whatever waits behind was meant for the controller that is gone from the line: the
        // monitoring reads, value writes, work under its password. None of it may reach the
        // other one in the while before the GUI thread drops the channel.
        halted = halted || link.isHalted() || request->foundAnotherController();
        handBack(std::move(request), result);
    }
}

void ChannelWorker::handBack(Request::Ptr_t request, int result)
{
    if (!completions) {
        emit requestReady(request, result);
        return;
    }
    // Our reference moves into the list under the lock: the GUI thread sees everything doRequest
    // wrote, and the last reference (with whatever the callback captured) is never released
    // here. A signal per request would wake the GUI thread, and allocate an event, for
    // requests it takes in one go anyway.
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(completions->mutex);
        first = completions->done.empty();
        completions->done.emplace_back(std::move(request), result);
    }
    if (first)
        emit completionsWaiting();
}
