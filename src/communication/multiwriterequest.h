#pragma once

#include "communication/writerequest.h"
#include "model/nodeid.h"

#include <QCoreApplication>
#include <QVector>

// Writes a list of configuration blocks (the image, one device's block, firmware chunks) or a
// list of resource values, in list order, stopping at the first failure. The bytes are encoded on
// the GUI thread when the request is made (and again by prepare() before a new sending), so the
// worker only sends them.
class MultiWriteRequest : public WriteRequest
{
    Q_DECLARE_TR_FUNCTIONS(MultiWriteRequest)

public:
    // (blocks written so far, number of blocks). Called on the worker thread after each block.
    using Progress_t = std::function<void(int, int)>;

    static Request::Ptr_t create(QList<QSharedPointer<Resource>> blocks, Callback_t callback,
                                 Progress_t progress, int priority);
    // Writes each item's current value of its role to the role's register entry; priority 1.
    static Request::Ptr_t createSimple(QList<RequestItem> items, Callback_t callback);

    // A failed block or item sets {1, 21, 23, "MultiWriteRequest,RS:[kind, id]"} ("RI" for an
    // item); what was written before it stays written.
    int doRequest(IoDevice& device) override;
    void notify() override;
    // The block list (empty for values).
    QList<QSharedPointer<Resource>> resources() const override;
    void prepare() override;
    // Nothing is written while the gate is closed: the write fails with
    // {1, 21, WithheldDetail} without a transfer.
    void setGate(Gate_t gate) { m_gate = std::move(gate); }
    // Opened as the first block's frame goes out: from then on blocks may reach the device.
    void setStarts(Gate_t gate) { m_starts = std::move(gate); }
    // Where a value item stands, shared between the worker and the GUI thread. Settled: a later
    // value of the same resource and role replaced it, it was written by an earlier sending, or
    // it was given up; passed over as done once its frame would go. OnTheWire: its frame went
    // and its answer is awaited: only that answer tells whether it was written.
    enum Claim : int { Waiting, Settled, OnTheWire };
    using Claim_t = std::shared_ptr<std::atomic<int>>;
    // One claim per value item, set on the GUI thread before the request is queued.
    void setClaims(QVector<Claim_t> claims) { m_claims = std::move(claims); }
    bool sendsFrames() const override { return !m_gate || m_gate->load(); }

    static constexpr qint32 WithheldDetail = 0;

    // Items written, or passed over as settled, before the first failure.
    int written() const { return m_written; }
    // The failure was the device's refusal (an exception answer), not silence or noise: the
    // same frame would meet the same answer again.
    bool wasRefused() const { return m_refused; }
    const QList<RequestItem>& items() const { return m_items; }

private:
    MultiWriteRequest(Callback_t callback, int priority);

    struct Outgoing
    {
        ProtoEntry entry;
        QByteArray data;
        int kind = -1;
        NodeId_t id;
    };

    Progress_t m_progress;
    qint32 m_written = 0;
    bool m_refused = false;
    QList<QSharedPointer<Resource>> m_blocks;
    QList<RequestItem> m_items;
    QVector<Outgoing> m_outgoing;
    Gate_t m_gate;
    Gate_t m_starts;
    QVector<Claim_t> m_claims;

    enum Take { Send, PassOver, Withhold };
    // Claims the item for its frame: passed over when settled, withheld when no write may go.
    Take take(int item, IoDevice& device) const;
    // Its frame answered or failed: written, it is settled; failed, it waits again unless a
    // later value replaced it meanwhile.
    void release(int item, bool written) const;
};
