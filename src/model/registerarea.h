#pragma once

#include "catalogue/cataloguerecords.h"

#include <QtGlobal>

// How many bytes a register entry's data takes in a request's buffer: coils and discrete inputs
// travel one byte (0 or 1) each, 16-bit registers two bytes each, low byte first.
namespace RegisterArea {

inline bool isBitArea(const ProtoEntry& entry)
{
    // A write-only entry has no read function, so its write function tells the table.
    const quint32 function = entry.rcmd != 0 ? entry.rcmd : entry.wcmd;
    return function == 1 || function == 2 || function == 5 || function == 15;
}

inline qint64 byteCount(const ProtoEntry& entry)
{
    return qint64(entry.registers) * (isBitArea(entry) ? 1 : 2);
}

} // namespace RegisterArea
