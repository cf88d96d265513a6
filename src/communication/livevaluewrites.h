#pragma once

#include "communication/multiwriterequest.h"
#include "communication/request.h"
#include "communication/requestitem.h"
#include "model/nodeid.h"

#include <QList>
#include <QPair>
#include <QVector>

// The values the user sets while monitoring (an output switched, an analogue output set, a
// counter reset) on their way to the controller. On a bad line the writes wait behind identity
// reads for seconds, and an output switched several times meanwhile must not go through every
// state the user left: a value still waiting when a later one of the same resource and role is
// set is not sent. A value whose write failed (silence, noise) is sent again once the controller
// answers, a bounded number of times; what is given up, or not written when monitoring ends, is
// counted for the user to be told: a value whose frame is on the wire as monitoring ends is told
// by its answer.
//
// A failed write is sent again as it was made, never prepared again: the monitoring reads put
// the controller's own value back into the resource meanwhile.
//
// GUI thread only.
class LiveValueWrites
{
public:
    // A write that fails this often is given up: a controller that refuses it would otherwise
    // be sent it at every tick.
    static constexpr int MostTries = 8;

    // A write of the items' present values, to be queued at once.
    Request::Ptr_t make(QList<RequestItem> items, Request::Callback_t callback);
    // After the request's callback: the number of values given up with it. `again` false: a
    // failed value is not sent again (monitoring has ended).
    int settle(const Request& request, bool again);
    // The writes that failed and are still wanted, to be sent again now that the controller
    // answers.
    QList<Request::Ptr_t> takeOwed();
    // Gives up every value whose frame has not gone yet; returns how many. Those on the wire are
    // settled by their answers, and never sent again.
    int giveUpAll();

private:
    using Key = QPair<NodeId_t, qint32>;
    struct Sending
    {
        Request::Ptr_t request;
        QVector<Key> keys;
        QVector<MultiWriteRequest::Claim_t> claims;
        int failures = 0;
        bool owed = false;
        bool ended = false; // monitoring ended with a frame of it on the wire
    };
    // A value of it is neither written nor replaced yet.
    static bool isWanted(const Sending& sending);
    // Settles every value of the sending still waiting to go; returns how many it settled.
    static int settleAll(Sending& sending);

    QList<Sending> sendings;
};
