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

private:
    // Appends to `out`, and leaves it as it was when it fails; `record` is working room handed
    // from block to block.
    bool appendDeviceBlock(const Device& device, QByteArray& out, QByteArray& record);
    bool appendKindBlock(const std::vector<IoResource::Ptr_t>& resources, QByteArray& out,
                         QByteArray& record) const;
    void appendTrailer(const QList<DeviceHandle>& handles, QByteArray& image) const;
    QList<int> deviceNumbers(const QList<BusEntry>& detected) const;
    bool parseDevice(const QByteArray& image, int& position, const BusEntry& detected,
                     int number, const SystemInfo_t& info);
    static bool checkBlockCrc(const QByteArray& body, quint16 crc);
    void attachDevice(const Device::Ptr_t& device);
    bool parseDeviceBody(const Device::Ptr_t& device, const QByteArray& body);
    static void readRecords(const std::vector<IoResource::Ptr_t>& resources, const char* data,
                            int size, int recordSize);

    SystemModel* model;
    Device::Ptr_t currentController;
    // Working room for one device's resources at a time.
    SystemModel::KindGroups groups;
};
