#include "model/datablock.h"

DataBlock::Ptr_t DataBlock::create(const ProtoEntry& target, const QByteArray& data)
{
    Ptr_t block(new DataBlock());
    block->setRegisters(target);
    block->m_data = data;
    return block;
}

int DataBlock::kind() const
{
    return ResourceKind::Block;
}

bool DataBlock::decode(const QByteArray& data)
{
    setValid(false);
    if (data.isEmpty())
        return false;
    m_data = data;
    setValid(true);
    return true;
}

void DataBlock::encode(QByteArray* data) const
{
    *data = m_data;
}
