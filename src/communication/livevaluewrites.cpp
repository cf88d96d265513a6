#include "communication/livevaluewrites.h"

#include "communication/multiwriterequest.h"

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
        Request::Gate_t settled;
        if (placed(item)) {
            // Whatever earlier value of it still waits is not sent.
            for (const Sending& earlier : qAsConst(sendings))
                for (int i = 0; i < earlier.keys.size(); ++i)
                    if (earlier.keys.at(i) == key && earlier.settled.at(i))
                        earlier.settled.at(i)->store(true);
            settled = std::make_shared<std::atomic<bool>>(false);
        }
        sending.keys.append(key);
        sending.settled.append(settled);
    }
    sending.request = MultiWriteRequest::createSimple(std::move(items), std::move(callback));
    sending.request.staticCast<MultiWriteRequest>()->setSettled(sending.settled);
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
    const int written = static_cast<const MultiWriteRequest&>(request).written();
    for (int i = 0; i < written && i < it->settled.size(); ++i)
        if (it->settled.at(i))
            it->settled.at(i)->store(true);
    if (!isWanted(*it)) {
        sendings.erase(it);
        return 0;
    }
    if (again && ++it->failures < MostTries) {
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
    for (Sending& sending : sendings)
        lost += settleAll(sending);
    sendings.clear();
    return lost;
}

bool LiveValueWrites::isWanted(const Sending& sending)
{
    return std::any_of(sending.settled.cbegin(), sending.settled.cend(),
                       [](const Request::Gate_t& settled) { return settled && !settled->load(); });
}

int LiveValueWrites::settleAll(Sending& sending)
{
    int settled = 0;
    for (const Request::Gate_t& flag : qAsConst(sending.settled))
        settled += flag && !flag->exchange(true) ? 1 : 0;
    return settled;
}
