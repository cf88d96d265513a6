#pragma once

#include "model/resource.h"

#include <QByteArray>
#include <QSharedPointer>

// Raw register bytes and the place they are written to: the payload of multi-block writes (the
// configuration image, one device's block, firmware chunks). Never filed in the system model.
class DataBlock : public Resource
{
public:
    using Ptr_t = QSharedPointer<DataBlock>;

    static Ptr_t create(const ProtoEntry& target, const QByteArray& data);

    int kind() const override;
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;

private:
    DataBlock() = default;

    QByteArray m_data;
};
