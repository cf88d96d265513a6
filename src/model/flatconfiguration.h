#pragma once

#include "model/ioresource.h"
#include "model/systemcompositor.h"
#include "model/systemmodel.h"

#include <QList>

#include <vector>

// The flat binary system image: a header, one block per device (type, body length, CRC-16 of the
// body, the configuration records of its resources grouped by kind) and a device-table section.
// An image read from a controller is hostile input: every length is checked against the data it
// claims to describe, and the reader re-aligns to those lengths after each block.
class FlatConfiguration : public SystemCompositor
{
public:
    explicit FlatConfiguration(SystemModel* model);

    // Refuses a system whose image would not fit its 16-bit length fields or would run past the
    // last register of the configuration area.
    bool compose(QByteArray& image, QMap<NodeId_t, QByteArray>* blocks = nullptr) override;
    bool deviceBlock(const Device::Ptr_t& device, QByteArray& block) override;
    bool parse(const SystemInfo_t& info, const QByteArray& image, const QByteArray& table) override;

    enum class Update { Updated, OtherSystem, Refused };
    // Reads the image into the devices and resources the model holds, when they are the system
    // it describes as a parse into an empty model builds it: the same devices under the ids a
    // parse gives them, in the same places, each listing what its template makes. The model then
    // holds what taking over that parse (SystemModel::takeOver) gives, with its resources' ids
    // kept; nothing is announced. OtherSystem: the model holds another system. Refused: the image
    // does not parse. Either way nothing changed.
    Update update(const SystemInfo_t& info, const QByteArray& image, const QByteArray& table);

private:
    // What the header and the device table say about the blocks that follow.
    struct Layout
    {
        int blockCount = 0;
        QList<BusEntry> detected;
        QList<int> numbers;
    };
    // One device block whose header, length and CRC were checked, and whose body is a view into
    // the image.
    struct Block
    {
        DeviceType_t type = 0;
        int deviceClass = 0;
        int size = 0;
        QByteArray body;
    };
    struct KindBlock
    {
        qint16 kind = 0;
        quint16 dataLength = 0;
        qint16 recordSize = 0;
    };
    bool readLayout(const SystemInfo_t& info, const QByteArray& image, const QByteArray& table,
                    Layout& layout) const;
    static bool readBlock(const QByteArray& image, int position, const BusEntry& detected,
                          Block& block);
    // The header of the kind block at `position` of a device body, checked against the body;
    // `position` moves on to the block's records.
    static bool nextKindBlock(const QByteArray& body, int& position, KindBlock& block);
    static bool kindBlocksFit(const QByteArray& body);
    // Whether the model holds the devices a parse of the image would build, in their places.
    bool holdsTheSystem(const Layout& layout, const std::vector<Block>& blocks,
                        const QList<DeviceHandle>& handles) const;
    // Appends to `out`, and leaves it as it was when it fails; `record` is working room handed
    // from block to block.
    bool appendDeviceBlock(const Device& device, QByteArray& out, QByteArray& record);
    bool appendKindBlock(const std::vector<IoResource::Ptr_t>& resources, QByteArray& out,
                         QByteArray& record) const;
    void appendTrailer(const QList<DeviceHandle>& handles, QByteArray& image) const;
    QList<int> deviceNumbers(const QList<BusEntry>& detected) const;
    bool parseDevice(const QByteArray& image, int& position, const BusEntry& detected,
                     int number, const SystemInfo_t& info);
    void attachDevice(const Device::Ptr_t& device);
    bool parseDeviceBody(const Device::Ptr_t& device, const QByteArray& body);
    static void readRecords(const std::vector<IoResource::Ptr_t>& resources, const char* data,
                            int size, int recordSize);

    SystemModel* model;
    Device::Ptr_t currentController;
    // Working room for one device's resources at a time.
    SystemModel::KindGroups groups;
};
