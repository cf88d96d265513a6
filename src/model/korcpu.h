#pragma once

#include "model/cpurecord.h"
#include "model/resource.h"
#include "model/systeminfo.h"

#include <QList>


// The controller's CPU block: a header read first, then one record per device, the controller's
// own record leading. A live system keeps one and reads it again on every keep-alive tick.
// The read request walks a scratch copy on the channel's worker thread and replays the blocks into
// this object on the GUI thread, where everything else reads it.
class KorCpu : public Resource
{
public:
    using Ptr_t = QSharedPointer<KorCpu>;

    // 0 header next, 1 records next, 2 complete.
    enum Stage : quint8 { HeaderNext = 0, RecordsNext = 1, Complete = 2 };

    KorCpu();
    ~KorCpu() override;

    int kind() const override;
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;
    bool isValid() const override;
    bool hasBlockToRead() const override;
    void endRead() override;
    const ProtoEntry& registers() const override;
    QSharedPointer<Resource> scratchReader() const override;

    // Leaves `out` untouched unless the block is valid.
    void toSystemInfo(SystemInfo_t& out) const;
    bool allTypesKnown() const;

    quint8 stage() const { return m_stage; }
    quint16 recordCount() const { return m_recordCount; }
    quint16 byteLength() const { return m_byteLength; }
    const QList<CpuRecord>& records() const { return m_records; }
    const ProtoEntry& bodyEntry() const { return m_bodyEntry; }

    // The block of one brand or the other carries records of this type; no controller answers
    // with another.
    static bool typeOfAnyVendor(quint32 type);

private:
    bool decodeHeader(const QByteArray& data);
    bool decodeRecords(const QByteArray& data);
    // Reads the record's sub-blocks from `position` on and moves it past them.
    static bool decodeRecord(const QByteArray& data, int& position, CpuRecord& record,
                             qint16 subBlocks);
    static bool typeOfActiveVendor(quint32 type, bool holmark);

    quint8 m_stage = HeaderNext;
    quint16 m_recordCount = 0;
    quint16 m_byteLength = 0;
    QList<CpuRecord> m_records;
    ProtoEntry m_bodyEntry;
    // A scratch copy walks the block on the worker thread; only the object that keeps the records
    // logs them.
    bool m_quiet = false;
};
