#include "support/registerranges.h"

#include <algorithm>

QList<RegisterRanges::Range> RegisterRanges::of(const QList<ProtoEntry>& entries)
{
    QList<Range> sorted;
    for (const ProtoEntry& e : entries) {
        if (e.rcmd >= 1 && e.rcmd <= 4 && e.registers > 0)
            sorted.append({e.rcmd, e.offset, e.offset + e.registers});
    }
    std::sort(sorted.begin(), sorted.end(), [](const Range& a, const Range& b) {
        return a.function != b.function ? a.function < b.function : a.first < b.first;
    });
    QList<Range> merged;
    for (const Range& r : qAsConst(sorted)) {
        if (!merged.isEmpty() && merged.last().function == r.function
            && r.first <= merged.last().end) {
            merged.last().end = std::max(merged.last().end, r.end);
        } else {
            merged.append(r);
        }
    }
    return merged;
}

int RegisterRanges::leastReads(const QList<Range>& ranges, int registerFrame, int bitFrame)
{
    int reads = 0;
    for (const Range& r : ranges) {
        const quint32 frame = quint32(r.function <= 2 ? bitFrame : registerFrame);
        reads += int((r.end - r.first + frame - 1) / frame);
    }
    return reads;
}
