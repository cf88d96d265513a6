#pragma once

#include "communication/controlleridentity.h"
#include "communication/identifiedlink.h"
#include "communication/request.h"

#include <QObject>

#include <deque>
#include <mutex>
#include <utility>
#include <vector>

class IoDevice;

// Executes a channel's requests one at a time on the channel's worker thread. The GUI thread puts
// and clears through direct calls; the worker pops. The queue lock is a std::mutex so that every
// hand-over of our data is visible to the thread sanitizer, which does not see inside Qt.
class ChannelWorker : public QObject
{
    Q_OBJECT

public:
    // Executed requests on their way back to the GUI thread, in completion order. Queued signal
    // arguments travel inside Qt, where the thread sanitizer cannot follow them, so the receiver
    // takes each request from here, under this std::mutex, instead of from a signal. One
    // completionsWaiting is sent per burst: when a request is put into an empty list. The
    // receiver therefore takes requests until it finds the list empty, under the lock, so a
    // request put just as it empties the list always comes with a signal of its own.
    struct Completions
    {
        std::mutex mutex;
        std::deque<std::pair<Request::Ptr_t, int>> done;
    };

    explicit ChannelWorker(IoDevice* device, Completions* completions = nullptr,
                           QObject* parent = nullptr);
    ~ChannelWorker() override;

    // Higher priority first; among equal priorities the smaller stamp, so unstamped requests
    // (stamp 0) lead. Once a password window's password word went out, though, its frames up to
    // its clear come next, whatever else waits (PasswordSession::isOpen).
    static bool ranksBelow(const Request::Ptr_t& a, const Request::Ptr_t& b);

    // GUI thread. True when the worker has to be woken: it was idle, and from now on counts as
    // busy until it finds the queue empty, so one wake-up is sent per idle period and a request
    // put just as the worker runs dry is never left waiting.
    bool put(Request::Ptr_t request);
    // GUI thread: the controller the channel's port was found with, and a read of its CPU block
    // (made for the worker alone). The worker takes them before its next request.
    void setController(const ControllerIdentity& owner, Request::Ptr_t cpuRead);
    int size() const;
    bool isBusy() const;

signals:
    // A worker without completions hands every request back through this signal.
    void requestReady(Request::Ptr_t request, int result);
    // The completions list has become non-empty.
    void completionsWaiting();

public slots:
    void processQueue();
    // GUI thread: releases every waiting request without running its callback.
    void clear();

private:
    struct Order
    {
        bool operator()(const Request::Ptr_t& a, const Request::Ptr_t& b) const
        {
            return ranksBelow(a, b);
        }
    };

    bool take(Request::Ptr_t* request);
    void handBack(Request::Ptr_t request, int result);

    std::vector<Request::Ptr_t> queue; // a heap ordered by Order
    // Worker thread only: the window of the request that ran last, while it is open. Not kept
    // alive here: the requests and their sender own it.
    std::weak_ptr<PasswordSession> window;
    // Worker thread only, but for the controller handed over under the lock.
    IdentifiedLink link;
    Completions* completions;
    mutable std::mutex mutex;          // the queue, busy and the controller handed over
    bool busy = false;
    bool controllerGiven = false;
    ControllerIdentity givenOwner;
    Request::Ptr_t givenRead;
    // Worker thread only: a request found another controller on the line, or none.
    bool halted = false;
};
