#include "model/nodeid.h"

#include <QAtomicInteger>

namespace {
QAtomicInteger<quint32> imageIdCounter(1);
}

namespace NodeId {

NodeId_t nextImageId(quint16 data2, quint16 data3)
{
    const quint32 data1 = imageIdCounter.fetchAndAddRelaxed(1);
    return NodeId_t(data1, data2, data3, 1, 0, 0, 0, 0, 0, 0, 0);
}

void resetImageIds()
{
    imageIdCounter.storeRelaxed(1);
}

} // namespace NodeId
