#include "communication/livevaluewrites.h"

#include <QDebug>

#include <algorithm>
#include <atomic>
#include <memory>

Request::Ptr_t LiveValueWrites::make(QList<RequestItem> items, Request::Callback_t callback)
{
    // A role that lies nowhere on the device fails without a frame, at every try: it goes last,
    // so that it holds back none of the others, and is neither tried again nor told.
    const auto placed = [](const RequestItem& item) {
        return item.resource && !item.resource->role(item.role).isNull();
    };
    std::stable_partition(items.begin(), items.end(), placed);
    Sending sending;
    for (const RequestItem& item : qAsConst(items)) {
        const Key key(item.resource ? item.resource->id() : NodeId_t(), item.role);
        MultiWriteRequest::Claim_t claim;
        if (placed(item)) {
            // Whatever earlier value of it still waits is not sent.
            for (const Sending& earlier : qAsConst(sendings))
                for (int i = 0; i < earlier.keys.size(); ++i)
                    if (earlier.keys.at(i) == key && earlier.claims.at(i))
                        earlier.claims.at(i)->store(MultiWriteRequest::Settled);
            claim = std::make_shared<std::atomic<int>>(MultiWriteRequest::Waiting);
        }
        sending.keys.append(key);
        sending.claims.append(claim);
    }
    sending.request = MultiWriteRequest::createSimple(std::move(items), std::move(callback));
    sending.request.staticCast<MultiWriteRequest>()->setClaims(sending.claims);
    sendings.append(sending);
    return sending.request;
}

int LiveValueWrites::settle(const Request& request, bool again)
{
    const auto it = std::find_if(sendings.begin(), sendings.end(), [&request](const Sending& s) {
        return s.request.data() == &request;
    });
    if (it == sendings.end())
        return 0;
    if (!isWanted(*it)) {
        sendings.erase(it);
        return 0;
    }
    if (again && !it->ended && ++it->failures < MostTries) {
        it->owed = true;
        return 0;
    }
    const int lost = settleAll(*it);
    qDebug() << "C&M [WR] Values given up:" << lost << "after tries:" << it->failures;
    sendings.erase(it);
    return lost;
}

QList<Request::Ptr_t> LiveValueWrites::takeOwed()
{
    QList<Request::Ptr_t> owed;
    for (auto it = sendings.begin(); it != sendings.end();) {
        if (!it->owed) {
            ++it;
            continue;
        }
        // Replaced by later values while it waited: nothing of it is wanted any more.
        if (!isWanted(*it)) {
            it = sendings.erase(it);
            continue;
        }
        it->owed = false;
        owed.append(it->request);
        ++it;
    }
    return owed;
}

int LiveValueWrites::giveUpAll()
{
    int lost = 0;
    for (auto it = sendings.begin(); it != sendings.end();) {
        lost += settleAll(*it);
        it->ended = true;
        it = isWanted(*it) ? it + 1 : sendings.erase(it);
    }
    return lost;
}

bool LiveValueWrites::isWanted(const Sending& sending)
{
    return std::any_of(sending.claims.cbegin(), sending.claims.cend(),
                       [](const MultiWriteRequest::Claim_t& claim) {
                           return claim && claim->load() != MultiWriteRequest::Settled;
                       });
}

int LiveValueWrites::settleAll(Sending& sending)
{
    int settled = 0;
    for (const MultiWriteRequest::Claim_t& claim : qAsConst(sending.claims)) {
        int waiting = MultiWriteRequest::Waiting;
        settled += claim && claim->compare_exchange_strong(waiting, MultiWriteRequest::Settled);
    }
    return settled;
}
