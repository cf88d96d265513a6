#include "model/rawconfiguration.h"
#include "model/wireformat.h"

#include <QDataStream>

namespace {

constexpr quint32 registerSpace = 0x10000;

} // namespace

int RawConfiguration::kind() const
{
    return ResourceKind::Block;
}

void RawConfiguration::encode(QByteArray*) const {}

bool RawConfiguration::hasBlockToRead() const
{
    return m_state != Done;
}

QSharedPointer<Resource> RawConfiguration::scratchReader() const
{
    // The walk depends on the entry, the state and the headers read so far, not on the bytes kept.
    QSharedPointer<RawConfiguration> copy(new RawConfiguration());
    copy->setRegisters(registers());
    copy->m_blockCount = m_blockCount;
    copy->m_blocksLength = m_blocksLength;
    copy->m_section = m_section;
    copy->m_state = m_state;
    return copy;
}

void RawConfiguration::moveTo(quint32 offset, quint32 count, State next)
{
    if (offset + count > registerSpace) {
        m_state = Done;
        return;
    }
    ProtoEntry entry = registers();
    entry.offset = offset;
    entry.registers = count;
    setRegisters(entry);
    m_state = next;
}

bool RawConfiguration::decode(const QByteArray& data)
{
    QDataStream in(data);
    wireFormat(in);
    const ProtoEntry& entry = registers();
    switch (m_state) {
    case ImageHeader:
        in >> m_blockCount >> m_blocksLength;
        moveTo(entry.offset, entry.registers + m_blocksLength / 2, Image);
        break;
    case Image:
        m_image = data;
        moveTo(entry.offset + entry.registers, 3, SectionHeader);
        break;
    case SectionHeader: {
        SectionHeader_t h;
        in >> h.type >> h.second >> h.length >> h.check;
        if (in.status() != QDataStream::Ok)
            h = SectionHeader_t();
        m_section = h;
        const bool valid = h.type >= 1 && h.type <= 254 && h.check != 0 && h.check != 255
            && h.length >= 1 && h.length <= 4096;
        if (!valid)
            m_state = Done;
        else
            moveTo(entry.offset + entry.registers, h.length / 2u,
                   h.type == 13 ? DeviceTable : OtherSection);
        break;
    }
    case OtherSection:
        moveTo(entry.offset + entry.registers, 3, SectionHeader);
        break;
    case DeviceTable:
        m_table = data;
        m_state = Done;
        break;
    case Done:
        break;
    }
    return true;
}
