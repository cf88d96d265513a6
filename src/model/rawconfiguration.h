#pragma once

#include "model/resource.h"

#include <QByteArray>
#include <QSharedPointer>

// Walks a controller's configuration register area block by block: the flat image first, then the
// chain of sections after it until the device table (section 13) or a header that is not valid.
// Serves one read; a new walk needs a new object.
class RawConfiguration : public Resource
{
public:
    using Ptr_t = QSharedPointer<RawConfiguration>;

    enum State : quint8 { ImageHeader, Image, SectionHeader, OtherSection, DeviceTable, Done };

    RawConfiguration() = default;

    int kind() const override;
    // One step of the walk; the register entry then names the next block. Never fails: a short
    // block reads as zeros and ends the walk at the next section check.
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;
    bool hasBlockToRead() const override;
    QSharedPointer<Resource> scratchReader() const override;

    const QByteArray& image() const { return m_image; }
    const QByteArray& table() const { return m_table; }
    State state() const { return m_state; }

private:
    struct SectionHeader_t
    {
        quint8 type = 0;
        quint8 second = 0;
        quint16 length = 0;
        quint16 check = 0;
    };

    // Moves the entry to `count` registers at `offset`; the walk ends instead when that block
    // would run past the last register of the area.
    void moveTo(quint32 offset, quint32 count, State next);

    QByteArray m_image;
    qint16 m_blockCount = 0;
    quint16 m_blocksLength = 0;
    SectionHeader_t m_section;
    QByteArray m_table;
    State m_state = ImageHeader;
};
