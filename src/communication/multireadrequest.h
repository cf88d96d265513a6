#pragma once

#include "communication/readrequest.h"

#include <QVector>

// Reads several resources, one transfer each, in list order (the alarm blocks of a device).
class MultiReadRequest : public ReadRequest
{
public:
    static Request::Ptr_t create(QList<QSharedPointer<Resource>> resources, Callback_t callback);

    // Stops at the first failed read; the blocks read before it are kept for notify().
    int doRequest(IoDevice& device) override;
    // Decodes the blocks into their resources in order; the first one refused sets
    // {1, 18, 20, "MultiReadRequest,RS:[kind, id]"} and leaves the rest untouched.
    void notify() override;
    QList<QSharedPointer<Resource>> resources() const override;
    void prepare() override;

private:
    MultiReadRequest(QList<QSharedPointer<Resource>> resources, Callback_t callback);

    QList<QSharedPointer<Resource>> m_resources;
    // Taken from the resources on the GUI thread, one per resource.
    QVector<ProtoEntry> m_entries;
    QVector<QByteArray> m_blocks;
};
