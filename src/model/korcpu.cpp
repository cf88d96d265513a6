#include "model/korcpu.h"

#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "model/wireformat.h"

#include <QDebug>

namespace {

constexpr int HeaderSize = 4;
constexpr int RecordHeaderSize = 8;
constexpr int SubHeaderSize = 4;
constexpr int IdentitySize = 44;
constexpr int ShortIdentitySize = 26;
constexpr int SerialsSize = 14;
// The controller marks a configured bus device that does not answer with this state code.
constexpr quint16 AbsentState = 14;

// The block comes from the device: nothing is read unless all of it lies inside the data.
bool holds(const QByteArray& data, int position, qint64 bytes)
{
    return bytes >= 0 && data.size() - position >= bytes;
}

} // namespace

KorCpu::KorCpu() = default;

KorCpu::~KorCpu() = default;

int KorCpu::kind() const
{
    return ResourceKind::KorCpu;
}

bool KorCpu::decode(const QByteArray& data)
{
    switch (m_stage) {
    case HeaderNext:
        if (!decodeHeader(data))
            return false;
        m_stage = RecordsNext;
        return true;
    case RecordsNext: {
        const bool ok = decodeRecords(data);
        m_stage = Complete;
        return ok;
    }
    default:
        return false;
    }
}

void KorCpu::encode(QByteArray*) const {}

bool KorCpu::isValid() const
{
    if (m_records.isEmpty())
        return false;
    const CpuRecord& cpu = m_records.first();
    return cpu.type != 0 && cpu.serialNumber != 0 && cpu.id != 0;
}

bool KorCpu::hasBlockToRead() const
{
    return m_stage != Complete;
}

void KorCpu::endRead()
{
    m_stage = HeaderNext;
}

const ProtoEntry& KorCpu::registers() const
{
    switch (m_stage) {
    case HeaderNext: return Resource::registers();
    case RecordsNext: return m_bodyEntry;
    default: return noEntry();
    }
}

QSharedPointer<Resource> KorCpu::scratchReader() const
{
    QSharedPointer<KorCpu> copy(new KorCpu());
    copy->setRegisters(Resource::registers());
    copy->m_stage = m_stage;
    copy->m_recordCount = m_recordCount;
    copy->m_byteLength = m_byteLength;
    copy->m_bodyEntry = m_bodyEntry;
    copy->m_quiet = true;
    return copy;
}

bool KorCpu::decodeHeader(const QByteArray& data)
{
    if (data.size() < HeaderSize)
        return false;
    WireReader in(data);
    in >> m_recordCount >> m_byteLength;

    // The records follow the header directly, with the same functions.
    const ProtoEntry& header = Resource::registers();
    m_bodyEntry.rcmd = header.rcmd;
    m_bodyEntry.wcmd = header.wcmd;
    m_bodyEntry.offset = header.offset + header.registers;
    m_bodyEntry.registers = m_byteLength / 2;
    return true;
}

bool KorCpu::decodeRecords(const QByteArray& data)
{
    m_records.clear();
    if (m_recordCount == 0)
        return false;

    // Asked once per block and without loading anything: this runs on the worker thread.
    const bool holmark = SettingsProvider::activeVendor() == QLatin1String("holmark");
    // Every record takes at least its header, whatever count the device announced.
    m_records.reserve(qMin(int(m_recordCount), data.size() / RecordHeaderSize));
    int position = 0;
    for (int index = 0; index < int(m_recordCount); ++index) {
        if (!holds(data, position, RecordHeaderSize))
            return false;
        WireReader in(data.constData() + position, RecordHeaderSize);
        position += RecordHeaderSize;
        quint32 type = 0;
        qint16 subBlocks = 0;
        in >> type >> subBlocks;
        // A device of the other brand makes the whole block unusable with this catalogue.
        if (!typeOfActiveVendor(type, holmark))
            return false;

        CpuRecord record;
        if (!decodeRecord(data, position, record, subBlocks))
            return false;
        if (record.type == 0)
            record.type = type;
        m_records.append(record);
        // Logged on every keep-alive tick, so formatted in one pass rather than through a stream.
        if (!m_quiet)
            qDebug("Load Kor: %d %u %u %u %u", index, record.type, record.aux, record.id,
                   record.serialNumber);
    }
    return !m_records.isEmpty();
}

bool KorCpu::decodeRecord(const QByteArray& data, int& position, CpuRecord& record,
                          qint16 subBlocks)
{
    for (int i = 0; i < int(subBlocks); ++i) {
        if (!holds(data, position, SubHeaderSize))
            return false;
        WireReader header(data.constData() + position, SubHeaderSize);
        position += SubHeaderSize;
        qint16 subType = 0;
        qint16 length = 0;
        header >> subType >> length;
        // The three known sub-blocks have a fixed size; the controller's length field for them is
        // not to be trusted.
        const qint64 size = subType == 0   ? IdentitySize
                            : subType == 1 ? ShortIdentitySize
                            : subType == 2 ? SerialsSize
                                           : length;
        if (!holds(data, position, size))
            return false;
        WireReader in(data.constData() + position, int(size));
        position += int(size);
        quint8 revision = 0;
        quint8 spare = 0;
        switch (subType) {
        case 0:
            in >> record.type >> record.byteA >> record.addressFlag >> record.address
                >> record.byteD >> record.word1 >> record.word2 >> record.word3 >> revision
                >> spare >> spare >> spare;
            in >> record.value1 >> record.value2 >> record.value3 >> record.value4
                >> record.value5;
            record.revision = revision;
            break;
        case 1:
            // Two spare bytes end the sub-block.
            in >> record.type >> record.word1 >> revision >> spare >> spare >> spare;
            in >> record.value3 >> record.value4 >> record.value5;
            record.revision = revision;
            break;
        case 2:
            in >> record.serialNumber >> record.id >> record.aux >> record.state;
            break;
        default:
            // Skipped by its length.
            break;
        }
    }
    return true;
}

bool KorCpu::typeOfActiveVendor(quint32 type, bool holmark)
{
    const int kind = deviceKind(type);
    if (holmark)
        return kind == 16 || kind == 17;
    return kind == 10 || kind == 11 || kind == 20;
}

bool KorCpu::typeOfAnyVendor(quint32 type)
{
    return typeOfActiveVendor(type, false) || typeOfActiveVendor(type, true);
}

void KorCpu::toSystemInfo(SystemInfo_t& out) const
{
    if (!isValid())
        return;
    const CpuRecord& cpu = m_records.first();
    out.kernelSn = cpu.serialNumber;
    out.kernelId = cpu.id;
    out.kernelAux = cpu.aux;
    out.kernelState = cpu.state;
    out.cpuId = cpu.type;
    out.cpuByte = cpu.byteA;
    out.address = cpu.address;
    out.addressFlag = cpu.addressFlag;
    out.hw = HardwareVersion(cpu.revision);
    out.phy1 = cpu.value1;
    out.phy2 = cpu.value2;
    out.vcc12 = cpu.value3;
    out.vcc33 = cpu.value4;
    out.phy5 = cpu.value5;
    qDebug() << "KorCpu::toSystemInfo, Manual address:" << int(out.address)
             << int(out.addressFlag);

    out.bus.clear();
    const SettingsProvider& provider = SettingsProvider::instance();
    int controllers = 0;
    int modules = 0;
    for (int i = 1; i < m_records.size(); ++i) {
        const CpuRecord& r = m_records.at(i);
        DeviceTemplate tpl;
        // Without its template the device's place on the bus cannot be told, nor anything after it.
        if (!provider.deviceTemplate(r.type, HardwareVersion(r.revision), &tpl, false))
            break;
        BusEntry entry;
        if (tpl.deviceClass == Device::PexClass) {
            ++modules;
            entry.controller = controllers;
            entry.number = modules;
        } else {
            ++controllers;
            modules = 0;
            entry.controller = -1;
            entry.number = controllers;
        }
        entry.type = r.type;
        entry.present = r.state != AbsentState;
        entry.revision = HardwareVersion(r.revision);
        entry.id = r.id;
        entry.aux = r.aux;
        out.bus.append(entry);
    }
}

bool KorCpu::allTypesKnown() const
{
    const SettingsProvider& provider = SettingsProvider::instance();
    for (const CpuRecord& r : m_records) {
        DeviceTemplate tpl;
        if (!provider.deviceTemplate(r.type, HardwareVersion(r.revision), &tpl, false))
            return false;
    }
    return true;
}
