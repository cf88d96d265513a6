#include "communication/multiresourceread.h"

#include "model/errorcodes.h"
#include "model/resource.h"

using namespace App::ErrorCode;

MultiResourceRead::MultiResourceRead(const ProtoEntry& registers, Callback_t callback,
                                     int priority)
    : ReadRequest(std::move(callback), priority)
    , m_endOffset(registers.offset)
{
    // The range is empty until items extend it.
    this->registers() = registers;
    this->registers().registers = 0;
}

void MultiResourceRead::setLimits(qint32 maxCount, qint32 bytesPerItem)
{
    m_maxCount = maxCount;
    m_bytesPerItem = bytesPerItem;
}

bool MultiResourceRead::canMerge(const RequestItem& item) const
{
    const quint32 span = item.entry.offset + item.entry.registers - registers().offset;
    return item.entry.rcmd == registers().rcmd && m_maxCount >= 0 && span <= quint32(m_maxCount);
}

void MultiResourceRead::extendRange(const RequestItem& item)
{
    list().append(item);
    m_endOffset = qMax(m_endOffset, item.entry.offset + item.entry.registers);
    registers().registers = m_endOffset - registers().offset;
}

int MultiResourceRead::doRequest(IoDevice& device)
{
    // Emptied, not released: the request reads the same range on every tick.
    readData().resize(0);
    return ReadRequest::doRequest(device);
}

void MultiResourceRead::notify()
{
    if (error().ok()) {
        const QByteArray& data = readData();
        const qint64 base = registers().offset;
        const QByteArray outside;
        for (const RequestItem& item : qAsConst(list())) {
            const qint64 at = (qint64(item.entry.offset) - base) * m_bytesPerItem;
            const qint64 length = qint64(item.entry.registers) * m_bytesPerItem;
            // An item outside the bytes read gets an empty slice, which every kind refuses.
            // The slice borrows the read bytes, which stay untouched until the next run:
            // decoders read the value during the call and keep no copy of it, so one array
            // header serves every slice of every run.
            const bool inside = at >= 0 && at <= data.size();
            if (inside)
                m_slice.setRawData(data.constData() + at,
                                   uint(qMin<qint64>(length, data.size() - at)));
            const QByteArray& slice = inside ? m_slice : outside;
            if (!item.resource || !item.resource->decodeValue(item.role, slice)) {
                const int kind = item.resource ? item.resource->kind() : -1;
                error().set(RequestFailed, RequestDataRefused, RequestDataRefusedDetail,
                            QStringLiteral("MRR [doRequest] Res %1 at %2 size %3 from %4")
                                .arg(kind)
                                .arg(at)
                                .arg(length)
                                .arg(data.size()));
                break;
            }
        }
    }
    complete();
}

QList<QSharedPointer<Resource>> MultiResourceRead::resources() const
{
    return {};
}
