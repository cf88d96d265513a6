#pragma once

#include <QDataStream>

// The byte form of everything a controller stores or reports (resource blocks, the CPU block, the
// flat image): little-endian, floats in single precision.
inline QDataStream& wireFormat(QDataStream& stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    return stream;
}
