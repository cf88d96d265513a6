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

} // namespace

FlatConfiguration::FlatConfiguration(SystemModel* model)
    : model(model)
{
}

bool FlatConfiguration::compose(QByteArray& image, QMap<NodeId_t, QByteArray>* blocks)
{
    model->assignRegisters();
    const QList<DeviceHandle> handles = model->deviceHandles();
    QByteArray body;
    int built = 0;
    for (const DeviceHandle& handle : handles) {
        QByteArray block;
        if (!deviceBlock(model->device(handle.id), block))
            continue;
        ++built;
        body.append(block);
        if (blocks)
            blocks->insert(handle.id, block);
    }
    if (built < handles.size() || built > maxCount || body.size() > maxLength)
        return false;

    QByteArray composed;
    composed.reserve(4 + body.size() + 6 + 2 + 6 * handles.size());
    WireWriter(composed) << qint16(built) << quint16(body.size());
    composed.append(body);
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
    std::array<QList<IoResource::Ptr_t>, ResourceKind::SerialPort + 1> byKind;
    for (const IoResource::Ptr_t& r : model->deviceResources(device->id(), true)) {
        if (r && r->kind() >= ResourceKind::Ain && r->kind() <= ResourceKind::SerialPort)
            byKind[std::size_t(r->kind())].append(r);
    }
    QByteArray body;
    for (QList<IoResource::Ptr_t>& list : byKind) {
        if (list.isEmpty())
            continue;
        model->sortResources(list);
        QByteArray kind;
        if (!kindBlock(list, kind))
            return false;
        body.append(kind);
    }
    if (body.size() > maxLength)
        return false;

    QByteArray result;
    result.reserve(deviceHeaderSize + body.size());
    WireWriter(result) << quint32(device->type()) << quint16(body.size()) << crcOf(body);
    result.append(body);
    block = result;
    return true;
}

bool FlatConfiguration::kindBlock(const QList<IoResource::Ptr_t>& resources, QByteArray& block) const
{
    if (resources.isEmpty() || resources.size() > maxCount)
        return false;
    // The records go after a header that needs their total length: room is left for it and it is
    // written over once they are in.
    QByteArray result(kindHeaderSize, '\0');
    QByteArray record;
    for (const IoResource::Ptr_t& r : resources) {
        if (!r)
            return false;
        r->encode(&record);
        result.append(record);
    }
    const int dataSize = result.size() - kindHeaderSize;
    if (dataSize > maxLength)
        return false;
    QByteArray header;
    header.reserve(kindHeaderSize);
    WireWriter(header) << qint16(resources.first()->kind()) << quint16(dataSize)
                       << qint16(resources.size()) << qint16(dataSize / resources.size());
    std::memcpy(result.data(), header.constData(), kindHeaderSize);
    block = result;
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

bool FlatConfiguration::parse(const SystemInfo_t& info, const QByteArray& image,
                              const QByteArray& table)
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

    QList<BusEntry> detected = detectedDevices(info);
    for (int i = 0; i < qMin(detected.size(), stored.size()); ++i) {
        if (detected[i].type == stored[i].first && stored[i].second != anyRevision)
            detected[i].revision = HardwareVersion(stored[i].second);
    }

    const QList<int> numbers = deviceNumbers(detected);
    if (numbers.size() != blockCount)
        return false;
    // The inputs are paired and the ports settled once the last device is in, not after each.
    const SystemModel::Batch batch(model);
    currentController.reset();
    int position = 4;
    for (int i = 0; i < blockCount; ++i) {
        if (!parseDevice(image, position, detected.at(i), numbers.at(i), info))
            return false;
    }
    return true;
}

bool FlatConfiguration::parseDevice(const QByteArray& image, int& position,
                                    const BusEntry& detected, int number, const SystemInfo_t& info)
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
    if (!checkBlockCrc(body, crc) || type != detected.type)
        return false;

    const SettingsProvider& catalogue = SettingsProvider::instance();
    const auto t = catalogue.templates.constFind(type);
    if (t == catalogue.templates.cend())
        return false;
    DeviceHandle handle;
    handle.type = type;
    handle.revision = detected.revision;
    handle.id = NodeId::nextImageId(quint16(t->deviceClass), quint16(type & 0xFFFF));
    handle.number = number;
    const Device::Ptr_t device = model->addDevice(handle);
    if (!device)
        return false;
    device->setSystemInfo(info);
    device->setImagePlace(quint32(position), quint32(bodyLength) + deviceHeaderSize);
    attachDevice(device);
    position += deviceHeaderSize + bodyLength;
    return parseDeviceBody(device, body);
}

bool FlatConfiguration::checkBlockCrc(const QByteArray& body, quint16 crc)
{
    return crcOf(body) == crc;
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

bool FlatConfiguration::parseDeviceBody(const Device::Ptr_t& device, const QByteArray& body)
{
    const QMap<int, QList<IoResource::Ptr_t>> byKind = model->ioResources(device);
    int position = 0;
    while (position < body.size()) {
        if (position + kindHeaderSize > body.size())
            return false;
        WireReader in(body.constData() + position, kindHeaderSize);
        qint16 kind = 0;
        quint16 dataLength = 0;
        qint16 count = 0;
        qint16 recordSize = 0;
        in >> kind >> dataLength >> count >> recordSize;
        if (dataLength == 0 || count <= 0 || recordSize <= 0
            || position + kindHeaderSize + dataLength > body.size())
            return false;
        const QByteArray data =
            QByteArray::fromRawData(body.constData() + position + kindHeaderSize, dataLength);
        readRecords(byKind.value(kind), data, recordSize);
        position += kindHeaderSize + dataLength;
    }
    return true;
}

void FlatConfiguration::readRecords(const QList<IoResource::Ptr_t>& resources,
                                    const QByteArray& data, int recordSize)
{
    // A record cut short by the kind block's data leaves its resource as the template made it.
    for (int i = 0; i < resources.size(); ++i) {
        const int from = i * recordSize;
        if (from + recordSize > data.size())
            break;
        resources.at(i)->decode(QByteArray::fromRawData(data.constData() + from, recordSize));
    }
}
