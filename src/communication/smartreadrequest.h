#pragma once

#include "communication/readrequest.h"

#include <QVector>

// Reads one target block by block, as many blocks as the target asks for (the controller's CPU
// block, the configuration area walk). The target learns where its next block lies only by
// decoding the one before; the worker therefore walks a private scratch reader of the target and
// keeps every block's bytes, and notify() replays them into the target in the same order.
class SmartReadRequest : public ReadRequest
{
public:
    static Request::Ptr_t create(QSharedPointer<Resource> target, Callback_t callback,
                                 int priority = ControlPriority);

    // -1 without a target. A read failure sets {1, 1819, result}; a block the target refuses sets
    // {1, 18, 20}; either ends the run.
    int doRequest(IoDevice& device) override;
    // Replays the blocks into the target, ends its read sequence, then calls back.
    void notify() override;
    QList<QSharedPointer<Resource>> resources() const override;
    void prepare() override;

    const QSharedPointer<Resource>& target() const { return m_target; }
    // The blocks the last run read and notify() has not replayed yet, in read order.
    const QVector<QByteArray>& blocks() const { return m_blocks; }

protected:
    SmartReadRequest(QSharedPointer<Resource> target, Callback_t callback,
                     int priority = ControlPriority);

    // Worker thread: the scratch reader once every block of a run was read and decoded. A class
    // that checks what was read fails the run here; 0 lets it stand.
    virtual int readWhole(const Resource& reader);

private:
    int readSteps(IoDevice& device, Resource& reader);

    // The model's object: touched on the GUI thread only.
    QSharedPointer<Resource> m_target;
    // The target's read state when the request was prepared; never changed afterwards, so the
    // worker may copy it.
    QSharedPointer<const Resource> m_start;
    // A target that cannot offer a scratch reader gets its current block read once, if any.
    bool m_single = false;
    ProtoEntry m_singleEntry;
    QVector<QByteArray> m_blocks;
};
