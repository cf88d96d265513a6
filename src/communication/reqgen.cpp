#include "communication/reqgen.h"

#include <QDebug>

#include <algorithm>

namespace {

constexpr qint32 MaxBits = 2000;
constexpr qint32 MaxRegisters = 125;

} // namespace

bool ReqGen::rangeLess(const RequestItem& a, const RequestItem& b)
{
    if (a.entry.rcmd != b.entry.rcmd)
        return a.entry.rcmd < b.entry.rcmd;
    return a.entry.offset < b.entry.offset;
}

bool ReqGen::readable(const RequestItem& item)
{
    return item.entry.rcmd >= 1 && item.entry.rcmd <= 4;
}

QSharedPointer<MultiResourceRead> ReqGen::makeMultiResourceRead(const ProtoEntry& entry,
                                                                Request::Callback_t callback)
{
    qint32 maxCount = 0;
    qint32 bytesPerItem = 0;
    switch (entry.rcmd) {
    case 1:
    case 2:
        maxCount = MaxBits;
        bytesPerItem = 1;
        break;
    case 3:
    case 4:
        maxCount = MaxRegisters;
        bytesPerItem = 2;
        break;
    default:
        return {};
    }
    QSharedPointer<MultiResourceRead> request(
        new MultiResourceRead(entry, std::move(callback), Request::MonitoringPriority));
    request->setLimits(maxCount, bytesPerItem);
    return request;
}

QList<Request::Ptr_t> ReqGen::makeMonRequests(const QList<RequestItem>& items,
                                              Request::Callback_t callback)
{
    QList<RequestItem> sorted;
    sorted.reserve(items.size());
    for (const RequestItem& item : items) {
        // One bad catalogue entry must not silence every other value.
        if (readable(item)) {
            sorted.append(item);
        } else {
            qDebug() << "ReqGen [Make KOR Request] Skip item, cmd =" << item.entry.rcmd
                     << ", offset =" << item.entry.offset << ", role =" << item.role;
        }
    }
    QList<Request::Ptr_t> result;
    if (sorted.isEmpty())
        return result;
    std::sort(sorted.begin(), sorted.end(), &ReqGen::rangeLess);

    QSharedPointer<MultiResourceRead> current =
        makeMultiResourceRead(sorted.first().entry, callback);
    for (const RequestItem& item : qAsConst(sorted)) {
        if (!current->canMerge(item)) {
            logMultiRead(current);
            result.append(current);
            current = makeMultiResourceRead(item.entry, callback);
        }
        current->extendRange(item);
    }
    if (!current->list().isEmpty()) {
        result.append(current);
        logMultiRead(current);
    }
    return result;
}

void ReqGen::logMultiRead(const QSharedPointer<MultiResourceRead>& request)
{
    if (!request)
        return;
    const ProtoEntry& r = request->registers();
    qDebug() << "ReqGen [Make KOR Request] Items=" << request->list().size() << ", cmd =" << r.rcmd
             << ", offset =" << r.offset << ", regs =" << r.registers;
}
