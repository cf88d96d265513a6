#pragma once

#include "catalogue/cataloguerecords.h"

#include <QList>

// The register ranges a set of value entries covers, as the controller sees them: per read
// function, entries that touch or overlap form one range. The measure of how well the monitoring
// loop merges its reads: one transaction per range is the least a tick can send, unless a range
// is longer than one Modbus frame carries.
class RegisterRanges
{
public:
    struct Range
    {
        quint32 function = 0;
        quint32 first = 0;
        quint32 end = 0; // one past the last register or bit

        bool operator==(const Range& o) const
        {
            return function == o.function && first == o.first && end == o.end;
        }
    };

    // Entries of read functions other than 1 to 4, or of no registers, are left out.
    static QList<Range> of(const QList<ProtoEntry>& entries);
    // The least number of reads that covers the ranges, at most `registerFrame` registers or
    // `bitFrame` bits per read.
    static int leastReads(const QList<Range>& ranges, int registerFrame = 125, int bitFrame = 125);
};
