#include "model/device.h"

#include "model/pex.h"
#include "model/plc.h"
#include "model/tav.h"

#include <QJsonValue>
#include <QStringBuilder>

#include <limits>

namespace {

const QString kClass = QStringLiteral("class");
const QString kType = QStringLiteral("type");
const QString kRevision = QStringLiteral("revision");
const QString kBus = QStringLiteral("bus");
const QString kLabel = QStringLiteral("label");
const QString kKey = QStringLiteral("key");
const QString kOwner = QStringLiteral("owner");
const QString kGroup = QStringLiteral("group");
const QString kNid = QStringLiteral("nid");
// The members of writeJson, before those only the system file adds.
constexpr int kOwnMembers = 7;

// Types are written as unsigned numbers, so a kind of 128 or more comes back above the range of
// int: every whole number a 32-bit type can be written as is taken.
qint32 readType(const QJsonValue& value)
{
    return qint32(quint32(qint64(value.toDouble())));
}

} // namespace

Device::Device(const DeviceHandle& handle)
    : m_type(handle.type)
    , m_revision(handle.revision)
    , m_id(handle.id)
    , m_owner(handle.owner)
    , m_number(handle.number)
    , m_group(handle.group)
{
}

Device::~Device() = default;

Device::Ptr_t Device::create(int deviceClass, const DeviceHandle& handle)
{
    switch (deviceClass) {
    case TavClass: return Ptr_t(new Tav(handle));
    case PexClass: return Ptr_t(new Pex(handle));
    case PlcClass: return Ptr_t(new Plc(handle));
    default: return Ptr_t();
    }
}

QString Device::classWord(int deviceClass)
{
    switch (deviceClass) {
    case TavClass: return QStringLiteral("tav");
    case PexClass: return QStringLiteral("pex");
    case PlcClass: return QStringLiteral("plc");
    default: return QStringLiteral("none");
    }
}

const std::vector<JsonField>& Device::jsonFields()
{
    constexpr double least = std::numeric_limits<qint32>::min();
    // The file keeps the id in QUuid's text form; a text that is no id reads as a new id, as it
    // always has.
    static const std::vector<JsonField> fields{
        JsonField::text(kClass),
        JsonField::wholeNumber(kType, least, std::numeric_limits<quint32>::max()),
        JsonField::of<qint32>(kRevision),
        JsonField::wholeNumber(kBus, 0, std::numeric_limits<qint32>::max()),
        JsonField::text(kLabel),
        JsonField::text(kGroup),
        JsonField::text(kNid),
        JsonField::text(kKey),
        JsonField::text(kOwner),
    };
    return fields;
}

bool Device::unfitValue(const QJsonObject& json, UnfitValue* unfit)
{
    return findUnfitValue(json, jsonFields(), unfit);
}

bool Device::fromJson(DeviceRecord& record, const QJsonObject& json)
{
    if (json.isEmpty() || unfitValue(json))
        return false;
    DeviceRecord read;
    const QString word = json.value(kClass).toString();
    for (const int c : {TavClass, PexClass, PlcClass}) {
        if (word == classWord(c))
            read.deviceClass = c;
    }
    read.type = readType(json.value(kType));
    // A missing revision reads 0, not "any revision".
    read.revision = json.contains(kRevision)
        ? json.value(kRevision).toInt()
        : 0;
    read.bus = json.value(kBus).toInt();
    read.key = json.value(kKey).toString();
    read.owner = json.value(kOwner).toString();
    read.group = json.value(kGroup).toString();
    if (read.bus < 0 || read.deviceClass == NoClass || read.type == 0)
        return false;
    record = read;
    return true;
}

bool Device::readJson(const QJsonObject& json)
{
    m_config.label = json.value(kLabel).toString();
    return true;
}

std::array<Configuration::JsonMember, 9> Device::jsonMembers(const QString& key,
                                                           const QString& owner) const
{
    return {{
        {kClass, classWord(deviceClass())},
        {kType, qint64(m_type)},
        {kRevision, m_revision},
        {kBus, m_number},
        {kLabel, m_config.label},
        {kGroup, m_group},
        {kNid, m_id.toString()},
        {kKey, key},
        {kOwner, owner},
    }};
}

bool Device::writeJson(QJsonObject& json) const
{
    const auto members = jsonMembers(QString(), QString());
    const JsonMember* const first = members.data();
    const JsonMember* const last = first + kOwnMembers;
    static const JsonShape shape(first, last);
    json = json.isEmpty() ? filledJson(shape, first, last) : filledJson(json, first, last);
    return true;
}

QJsonObject Device::fileJson(const QString& key, const QString* owner) const
{
    const auto members = jsonMembers(key, owner ? *owner : QString());
    const JsonMember* const first = members.data();
    // With and without "owner" the element has other members, so each keeps its own shape.
    static const JsonShape withOwner(first, first + members.size());
    static const JsonShape withoutOwner(first, first + members.size() - 1);
    return owner ? filledJson(withOwner, first, first + members.size())
                 : filledJson(withoutOwner, first, first + members.size() - 1);
}

void Device::setSystemInfo(const SystemInfo_t&) {}

void Device::applyTemplate(const DeviceTemplate& tpl)
{
    m_name = tpl.name;
    m_description = tpl.description;
    m_channels = tpl.channels;
    m_loadClasses = tpl.loadClasses;
}

QString Device::identityKey() const
{
    return QString();
}

int Device::supplyFlags() const
{
    return -1;
}

void Device::importConfig(const AbstractConfig& config)
{
    m_config = config.device;
}

void Device::exportConfig(AbstractConfig& config) const
{
    config.kind = ResourceKind::DevicePart;
    config.device = m_config;
}

void Device::setSupplyFlags(int) {}

QString Device::displayName(int parentNumber) const
{
    // Every system file written or read names each device: the name is put together at once,
    // without the copies that appending and prepending make.
    const bool underParent = parentNumber >= 0 && !m_owner.isNull();
    if (m_number == 0)
        return underParent ? QString::number(parentNumber) % QLatin1Char('.') % m_name : m_name;
    if (!underParent)
        return QString::number(m_number) % QLatin1Char('.') % m_name;
    return QString::number(parentNumber) % QLatin1Char('.') % QString::number(m_number)
        % QLatin1Char('.') % m_name;
}

DeviceHandle Device::handle() const
{
    DeviceHandle h;
    h.type = m_type;
    h.revision = m_revision;
    h.id = m_id;
    h.owner = m_owner;
    h.number = m_number;
    h.group = m_group;
    return h;
}

void Device::addResource(const NodeId_t& id)
{
    m_resourceIds.append(id);
}

void Device::removeResource(const NodeId_t& id)
{
    m_resourceIds.removeAll(id);
}

void Device::addChild(const NodeId_t& id)
{
    if (!m_childIds.contains(id))
        m_childIds.append(id);
}

void Device::setImagePlace(quint32 offset, quint32 size)
{
    m_imageOffset = offset;
    m_imageSize = size;
}

QString Device::serialKey(quint32 serialNumber) const
{
    return m_name + QLatin1Char('_') + QString::number(serialNumber).rightJustified(5, QLatin1Char('0'));
}
