#include "model/flatconfiguration.h"

#include "catalogue/settingsprovider.h"
#include "model/crc16.h"
#include "model/systemmodel.h"
#include "model/wireformat.h"

#include <array>
#include <cstring>

namespace {

constexpr int maxLength = 0xFFFF;
constexpr int maxCount = 0x7FFF;
constexpr quint32 registerSpace = 0x10000;
constexpr int deviceHeaderSize = 8;
constexpr int kindHeaderSize = 8;
constexpr quint8 deviceTableSection = 0x0D;
// A revision stored as "any" carries no information about the device that was found.
constexpr quint16 anyRevision = 0xFFFF;

quint16 crcOf(const QByteArray& data)
{
    return crc16(reinterpret_cast<const quint8*>(data.constData()), quint16(data.size()));
}

// Room for a header that is written over once what follows it is in.
void appendRoom(QByteArray& out, int bytes)
{
    static const char zeros[8] = {};
    Q_ASSERT(bytes <= int(sizeof zeros));
    out.append(zeros, bytes);
}

// Lets go of the resources held for the work once it is over: they must not outlive their
// leaving the model in here.
class GroupsReleased
{
public:
    explicit GroupsReleased(SystemModel::KindGroups& groups)
        : m_groups(groups)
    {
    }
    ~GroupsReleased()
    {
        for (std::vector<IoResource::Ptr_t>& group : m_groups)
            group.clear();
    }
    GroupsReleased(const GroupsReleased&) = delete;
    GroupsReleased& operator=(const GroupsReleased&) = delete;

private:
    SystemModel::KindGroups& m_groups;
};

} // namespace

FlatConfiguration::FlatConfiguration(SystemModel* model)
    : model(model)
{
}

bool FlatConfiguration::compose(QByteArray& image, QMap<NodeId_t, QByteArray>* blocks)
{
    model->assignRegisters();
    const QList<DeviceHandle> handles = model->deviceHandles();
    if (handles.size() > maxCount)
        return false;
    // The blocks go straight into the image, behind a header written once their size is known.
    QByteArray composed;
    composed.reserve(4 + 6 + 2 + 6 * handles.size());
    const GroupsReleased released(groups);
    appendRoom(composed, 4);
    QByteArray record;
    for (const DeviceHandle& handle : handles) {
        const Device::Ptr_t device = model->device(handle.id);
        const int start = composed.size();
        if (!device || !appendDeviceBlock(*device, composed, record))
            return false;
        if (blocks)
            blocks->insert(handle.id, composed.mid(start));
    }
    const int bodySize = composed.size() - 4;
    if (bodySize > maxLength)
        return false;
    WireWriter::overwriting(composed, 0) << qint16(handles.size()) << quint16(bodySize);
    appendTrailer(handles, composed);

    // The image goes to the configuration area; a system it does not fit in is refused rather than
    // written over the end of the register space.
    const quint32 registers = quint32(composed.size() + 1) / 2;
    if (SettingsProvider::instance().iocfgBase().offset + registers > registerSpace)
        return false;
    image = composed;
    return true;
}

bool FlatConfiguration::deviceBlock(const Device::Ptr_t& device, QByteArray& block)
{
    if (!device)
        return false;
    const GroupsReleased released(groups);
    QByteArray result;
    QByteArray record;
    if (!appendDeviceBlock(*device, result, record))
        return false;
    block = result;
    return true;
}

bool FlatConfiguration::appendDeviceBlock(const Device& device, QByteArray& out,
                                          QByteArray& record)
{
    const int start = out.size();
    appendRoom(out, deviceHeaderSize);
    model->groupByKind(device.id(), true, ResourceKind::SerialPort, groups);
    for (const std::vector<IoResource::Ptr_t>& list : groups) {
        if (!list.empty() && !appendKindBlock(list, out, record)) {
            out.truncate(start);
            return false;
        }
    }
    const int bodySize = out.size() - start - deviceHeaderSize;
    if (bodySize > maxLength) {
        out.truncate(start);
        return false;
    }
    const quint16 crc = crc16(reinterpret_cast<const quint8*>(out.constData()) + start
                                  + deviceHeaderSize,
                              quint16(bodySize));
    WireWriter::overwriting(out, start) << quint32(device.type()) << quint16(bodySize) << crc;
    return true;
}

bool FlatConfiguration::appendKindBlock(const std::vector<IoResource::Ptr_t>& resources,
                                        QByteArray& out, QByteArray& record) const
{
    const int count = int(resources.size());
    if (count == 0 || count > maxCount)
        return false;
    // The records go after a header that needs their total length: room is left for it and it is
    // written over once they are in.
    const int start = out.size();
    appendRoom(out, kindHeaderSize);
    for (const IoResource::Ptr_t& r : resources) {
        if (!r)
            return false;
        r->encode(&record);
        out.append(record);
    }
    const int dataSize = out.size() - start - kindHeaderSize;
    if (dataSize > maxLength)
        return false;
    WireWriter::overwriting(out, start) << qint16(resources.front()->kind()) << quint16(dataSize)
                                        << qint16(count) << qint16(dataSize / count);
    return true;
}

void FlatConfiguration::appendTrailer(const QList<DeviceHandle>& handles, QByteArray& image) const
{
    QByteArray table;
    table.reserve(2 + 6 * handles.size());
    WireWriter out(table);
    out << qint16(handles.size());
    for (const DeviceHandle& h : handles)
        out << quint32(h.type) << quint16(h.revision & 0xFFFF);

    QByteArray section;
    WireWriter(section) << deviceTableSection << quint8(0) << quint16(table.size())
                        << crcOf(table);
    image.append(section);
    image.append(table);
}

QList<int> FlatConfiguration::deviceNumbers(const QList<BusEntry>& detected) const
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    QList<int> numbers;
    int controllers = 0;
    int modules = 1;
    for (const BusEntry& d : detected) {
        // Only the class is needed: the template is looked at in place, not copied out.
        const auto t = catalogue.templates.constFind(d.type);
        if (t == catalogue.templates.cend())
            continue;
        if (t->deviceClass == Device::PexClass) {
            numbers.append(modules++);
        } else {
            numbers.append(controllers++);
            modules = 1;
        }
    }
    return numbers;
}

bool FlatConfiguration::readLayout(const SystemInfo_t& info, const QByteArray& image,
                                   const QByteArray& table, Layout& layout) const
{
    WireReader in(image);
    qint16 blockCount = 0;
    quint16 bodyLength = 0;
    in >> blockCount >> bodyLength;
    if (!in.ok() || int(bodyLength) != image.size() - 4 || bodyLength <= 4
        || blockCount <= 0)
        return false;

    // Entries the table's own size cannot hold are not there, whatever its count says.
    QList<QPair<DeviceType_t, quint16>> stored;
    WireReader tin(table);
    qint16 entries = 0;
    tin >> entries;
    const int fit = qMax(0, (table.size() - 2) / 6);
    for (int i = 0; i < qMin(int(entries), fit); ++i) {
        quint32 type = 0;
        quint16 revision = 0;
        tin >> type >> revision;
        stored.append({type, revision});
    }

    layout.detected = detectedDevices(info);
    QList<BusEntry>& detected = layout.detected;
    for (int i = 0; i < qMin(detected.size(), stored.size()); ++i) {
        if (detected[i].type == stored[i].first && stored[i].second != anyRevision)
            detected[i].revision = HardwareVersion(stored[i].second);
    }

    layout.numbers = deviceNumbers(detected);
    layout.blockCount = blockCount;
    return layout.numbers.size() == blockCount;
}

bool FlatConfiguration::parse(const SystemInfo_t& info, const QByteArray& image,
                              const QByteArray& table)
{
    Layout layout;
    if (!readLayout(info, image, table, layout))
        return false;
    // The inputs are paired and the ports settled once the last device is in, not after each.
    const SystemModel::Batch batch(model);
    const GroupsReleased released(groups);
    currentController.reset();
    int position = 4;
    for (int i = 0; i < layout.blockCount; ++i) {
        if (!parseDevice(image, position, layout.detected.at(i), layout.numbers.at(i), info))
            return false;
    }
    return true;
}

bool FlatConfiguration::readBlock(const QByteArray& image, int position, const BusEntry& detected,
                                  Block& block)
{
    if (position + deviceHeaderSize > image.size())
        return false;
    WireReader in(image.constData() + position, deviceHeaderSize);
    quint32 type = 0;
    quint16 bodyLength = 0;
    quint16 crc = 0;
    in >> type >> bodyLength >> crc;
    if (type == 0 || bodyLength == 0 || position + deviceHeaderSize + bodyLength > image.size())
        return false;
    // A view into the image, which outlives the parse: the records are read in place.
    const QByteArray body = QByteArray::fromRawData(image.constData() + position + deviceHeaderSize,
                                                    bodyLength);
    if (crcOf(body) != crc || type != detected.type)
        return false;
    const SettingsProvider& catalogue = SettingsProvider::instance();
    const auto t = catalogue.templates.constFind(type);
    if (t == catalogue.templates.cend())
        return false;
    block.type = type;
    block.deviceClass = t->deviceClass;
    block.size = deviceHeaderSize + bodyLength;
    block.body = body;
    return true;
}

bool FlatConfiguration::parseDevice(const QByteArray& image, int& position,
                                    const BusEntry& detected, int number, const SystemInfo_t& info)
{
    Block block;
    if (!readBlock(image, position, detected, block))
        return false;
    DeviceHandle handle;
    handle.type = block.type;
    handle.revision = detected.revision;
    handle.id = NodeId::nextImageId(quint16(block.deviceClass), quint16(block.type & 0xFFFF));
    handle.number = number;
    const Device::Ptr_t device = model->addDevice(handle);
    if (!device)
        return false;
    device->setSystemInfo(info);
    device->setImagePlace(quint32(position), quint32(block.size));
    attachDevice(device);
    position += block.size;
    return parseDeviceBody(device, block.body);
}

FlatConfiguration::Update FlatConfiguration::update(const SystemInfo_t& info,
                                                    const QByteArray& image,
                                                    const QByteArray& table)
{
    // The whole image is checked before the first record is read into the model: one that breaks
    // off halfway must leave the user's configuration as it was.
    Layout layout;
    if (!readLayout(info, image, table, layout))
        return Update::Refused;
    std::vector<Block> blocks(std::size_t(layout.blockCount));
    int position = 4;
    for (int i = 0; i < layout.blockCount; ++i) {
        Block& block = blocks[std::size_t(i)];
        if (!readBlock(image, position, layout.detected.at(i), block)
            || !kindBlocksFit(block.body))
            return Update::Refused;
        position += block.size;
    }
    const QList<DeviceHandle> handles = model->deviceHandles();
    std::vector<SystemModel::HeldDevice> held;
    if (!holdsTheSystem(layout, blocks, handles) || !model->heldAsMade(handles, held))
        return Update::OtherSystem;

    model->restartSettings(held);
    position = 4;
    for (int i = 0; i < layout.blockCount; ++i) {
        const Block& block = blocks[std::size_t(i)];
        const Device::Ptr_t device = model->device(handles.at(i).id);
        device->setSystemInfo(info);
        device->setImagePlace(quint32(position), quint32(block.size));
        // Every kind block was found to fit its body above.
        parseDeviceBody(device, block.body);
        position += block.size;
    }
    model->takeDeviceSettings(held);
    // The pairs an edit of the bus left behind are made again, as a parse makes them.
    model->pairAnalogInputs();
    return Update::Updated;
}

bool FlatConfiguration::holdsTheSystem(const Layout& layout, const std::vector<Block>& blocks,
                                       const QList<DeviceHandle>& handles) const
{
    if (handles.size() != layout.blockCount || model->devices().size() != layout.blockCount)
        return false;
    // The ids a parse gives are counted along the image: all of them are drawn first, as a parse
    // draws them, so the count goes on from where a parse leaves it whatever is compared below.
    std::vector<NodeId_t> ids;
    ids.reserve(blocks.size());
    for (const Block& block : blocks)
        ids.push_back(NodeId::nextImageId(quint16(block.deviceClass), quint16(block.type & 0xFFFF)));

    // Any device that differs makes it another system, however alike the ones after it are.
    Device::Ptr_t controller;
    QList<NodeId_t> children;
    for (int i = 0; i < layout.blockCount; ++i) {
        const Block& block = blocks[std::size_t(i)];
        const DeviceHandle& held = handles.at(i);
        const NodeId_t& id = ids[std::size_t(i)];
        const Device::Ptr_t device = model->device(held.id);
        const bool module = block.deviceClass == Device::PexClass;
        if (!device || held.id != id || device->deviceClass() != block.deviceClass
            || held.type != block.type || held.revision != layout.detected.at(i).revision
            || held.number != layout.numbers.at(i)
            || held.owner != (module && controller ? controller->id() : NodeId_t()))
            return false;
        if (module) {
            children.append(id);
            continue;
        }
        if (controller && controller->childIds() != children)
            return false;
        controller = device;
        children.clear();
    }
    return !controller || controller->childIds() == children;
}

bool FlatConfiguration::nextKindBlock(const QByteArray& body, int& position, KindBlock& block)
{
    if (position + kindHeaderSize > body.size())
        return false;
    WireReader in(body.constData() + position, kindHeaderSize);
    qint16 count = 0;
    in >> block.kind >> block.dataLength >> count >> block.recordSize;
    if (block.dataLength == 0 || count <= 0 || block.recordSize <= 0
        || position + kindHeaderSize + block.dataLength > body.size())
        return false;
    position += kindHeaderSize;
    return true;
}

bool FlatConfiguration::kindBlocksFit(const QByteArray& body)
{
    int position = 0;
    KindBlock block;
    while (position < body.size()) {
        if (!nextKindBlock(body, position, block))
            return false;
        position += block.dataLength;
    }
    return true;
}

void FlatConfiguration::attachDevice(const Device::Ptr_t& device)
{
    if (device->deviceClass() != Device::PexClass) {
        currentController = device;
        return;
    }
    if (currentController) {
        device->setOwner(currentController->id());
        currentController->addChild(device->id());
    }
}

void FlatConfiguration::readRecords(const std::vector<IoResource::Ptr_t>& resources,
                                    const char* data, int size, int recordSize)
{
    // A record cut short by the kind block's data leaves its resource as the template made it.
    // Each record is copied into one buffer: a view of the image would cost an allocation each.
    if (resources.empty() || recordSize > size)
        return;
    QByteArray record(recordSize, Qt::Uninitialized);
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const int from = int(i) * recordSize;
        if (from + recordSize > size)
            break;
        std::memcpy(record.data(), data + from, std::size_t(recordSize));
        resources[i]->decode(record);
    }
}

bool FlatConfiguration::parseDeviceBody(const Device::Ptr_t& device, const QByteArray& body)
{
    // Only device 0 holds the ports itself.
    model->groupByKind(device->id(), false,
                       device->number() == 0 ? ResourceKind::SerialPort : ResourceKind::Dout,
                       groups);
    int position = 0;
    KindBlock block;
    while (position < body.size()) {
        if (!nextKindBlock(body, position, block))
            return false;
        if (block.kind >= 0 && block.kind < int(groups.size())) {
            readRecords(groups[std::size_t(block.kind)], body.constData() + position,
                        block.dataLength, block.recordSize);
        }
        position += block.dataLength;
    }
    return true;
}
