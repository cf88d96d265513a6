#pragma once

#include "communication/readrequest.h"

// Reads the values of many resources in one transfer: its range covers every item from its first
// item's offset to the end of its last one, gaps included, and notify() cuts the bytes into the
// items' values. Made by ReqGen, which merges items of one read function into such ranges.
class MultiResourceRead : public ReadRequest
{
public:
    MultiResourceRead(const ProtoEntry& registers, Callback_t callback, int priority);

    // One read of the merged range; nothing is decoded here.
    int doRequest(IoDevice& device) override;
    // After a successful read, hands each item its slice of the bytes in list order; the first
    // value refused sets {1, 18, 20, "MRR [doRequest] ..."} and the items after it keep their old
    // values.
    void notify() override;
    QList<QSharedPointer<Resource>> resources() const override;

    bool canMerge(const RequestItem& item) const;
    void extendRange(const RequestItem& item);

    qint32 maxCount() const { return m_maxCount; }
    qint32 bytesPerItem() const { return m_bytesPerItem; }
    quint32 endOffset() const { return m_endOffset; }
    void setLimits(qint32 maxCount, qint32 bytesPerItem);

private:
    qint32 m_maxCount = 0;
    qint32 m_bytesPerItem = 0;
    quint32 m_endOffset = 0;
    // The items' values in turn, borrowing the bytes read (see notify()).
    QByteArray m_slice;
};
