#include "model/systemmodel.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/resourcekind.h"

#include <QHash>
#include <QMetaType>
#include <QRandomGenerator>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace {

// The catalogue writes -1 for a role whose table follows the previous role of the same kind; the
// loader keeps the low 16 bits.
constexpr quint32 kFollowsPrevious = 0xFFFF;

// What the model gives a resource it makes, besides its id and owner: its place on the device.
struct MadeAs
{
    int kind;
    QString textId;
    qint32 index;
    qint32 terminal;
    qint32 commonTerminal;
    bool top;
    quint32 connectorPosition;
    quint32 subType;
};

MadeAs channelResource(const IoChannel& channel)
{
    return {channel.kind, channel.name, channel.index, channel.offset, channel.gnd, channel.top,
            quint32(channel.position), quint32(channel.sub)};
}

// `typeName` is the port kind's own.
MadeAs portResource(const QString& typeName, int port)
{
    return {ResourceKind::SerialPort, typeName + QString::number(port), port, -1, -1, true, 0, 0};
}

void makeAs(IoResource& r, const MadeAs& made)
{
    r.setTextId(made.textId);
    r.setIndex(made.index);
    r.setTerminal(made.terminal);
    r.setCommonTerminal(made.commonTerminal);
    r.setTop(made.top);
    r.setConnectorPosition(made.connectorPosition);
    r.setSubType(made.subType);
}

bool isMadeAs(const IoResource& r, const MadeAs& made)
{
    return r.kind() == made.kind && r.index() == made.index && r.terminal() == made.terminal
        && r.commonTerminal() == made.commonTerminal && r.isTop() == made.top
        && r.connectorPosition() == made.connectorPosition && r.subType() == made.subType
        && r.textId() == made.textId;
}

// The device-wide settings live twice, in the device part and in every resource of their kind: an
// Ain's poll mode, a Din's counter and frequency polling. This is the one place that pairs the
// fields, for both ways; a record of another kind is left as it is.
enum class Toward { Part, Resource };

void carryDeviceSettings(AbstractConfig& part, AbstractConfig& own, Toward toward)
{
    const auto carry = [toward](auto& inPart, auto& inOwn) {
        if (toward == Toward::Part)
            inPart = std::decay_t<decltype(inPart)>(inOwn);
        else
            inOwn = std::decay_t<decltype(inOwn)>(inPart);
    };
    switch (own.kind) {
    case ResourceKind::Ain:
        carry(part.device.pollAin, own.ain.pollAin);
        break;
    case ResourceKind::Din:
        carry(part.device.pollCntr, own.din.pollCntr);
        carry(part.device.pollFreq, own.din.pollFreq);
        break;
    default:
        break;
    }
}

// The device-wide settings a device part takes from the first Ain (the poll mode) and the first
// Din (the polling) it is handed.
class FirstSettings
{
public:
    explicit FirstSettings(const Device& d) { d.exportConfig(m_config); }

    // True once both are taken.
    bool take(const IoResource& r)
    {
        bool* seen = r.kind() == ResourceKind::Ain   ? &m_ainSeen
                     : r.kind() == ResourceKind::Din ? &m_dinSeen
                                                     : nullptr;
        if (seen && !*seen) {
            r.exportConfig(m_own);
            carryDeviceSettings(m_config, m_own, Toward::Part);
            *seen = true;
        }
        return m_ainSeen && m_dinSeen;
    }

    void giveTo(Device& d) const { d.importConfig(m_config); }

private:
    AbstractConfig m_config;
    AbstractConfig m_own;
    bool m_ainSeen = false;
    bool m_dinSeen = false;
};

// A new port talks at the brand's rate.
void giveMadePortSettings(IoResource& port)
{
    AbstractConfig config;
    port.exportConfig(config);
    config.port.baud = BrandRules::defaultPortBaud();
    port.importConfig(config);
}

} // namespace

SystemModel::SystemModel(QObject* parent)
    : QObject(parent)
{
    registerMetaTypes();
}

SystemModel::~SystemModel() = default;

SystemModel::Batch::Batch(SystemModel* model)
    : m_model(model)
{
    if (m_model)
        ++m_model->m_batchDepth;
}

SystemModel::Batch::~Batch()
{
    if (m_model)
        m_model->endBatch();
}

void SystemModel::endBatch()
{
    if (--m_batchDepth > 0)
        return;
    if (m_portsDue)
        settlePorts();
    if (m_pairingDue)
        pairAnalogInputs();
    m_portsDue = false;
    m_pairingDue = false;
    m_batchTemplates.clear();
}

void SystemModel::pairWhenDue()
{
    if (m_batchDepth > 0)
        m_pairingDue = true;
    else
        pairAnalogInputs();
}

void SystemModel::settleWhenDue()
{
    if (m_batchDepth > 0)
        m_portsDue = true;
    else
        settlePorts();
}

void SystemModel::fileInModel(const IoResource::Ptr_t& r)
{
    const int before = m_resourceById.size();
    m_resourceById.insert(r->id(), r);
    // A resource filed again under its id may have replaced one of another kind.
    m_order.changed(m_resourceById.size() > before ? r->kind() : ResourceKind::None);
}

void SystemModel::dropFromModel(const NodeId_t& id)
{
    const auto filed = m_resourceById.find(id);
    if (filed == m_resourceById.end())
        return;
    const int kind = filed.value()->kind();
    m_resourceById.erase(filed);
    m_order.changed(kind);
}

const QMap<NodeId_t, IoResource::Ptr_t>& SystemModel::resources() const
{
    return m_order.byId();
}

void SystemModel::registerMetaTypes()
{
    qRegisterMetaType<NodeId_t>("NodeId_t");
    qRegisterMetaType<QList<NodeId_t>>("QList<NodeId_t>");
    DeviceHandle::registerMetaTypes();
}

NodeId_t SystemModel::newNodeId()
{
    // A random (version 4) id as QUuid::createUuid makes it, drawn from the seeded generator
    // rather than from the system's source, which costs microseconds an id where a system read
    // makes thousands.
    static_assert(sizeof(NodeId_t) == 4 * sizeof(quint32), "a QUuid is 128 bits");
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    NodeId_t id;
    std::memcpy(&id, words, sizeof words);
    id.data4[0] = (id.data4[0] & 0x3F) | 0x80;
    id.data3 = (id.data3 & 0x0FFF) | 0x4000;
    return id;
}

Device::Ptr_t SystemModel::device(const NodeId_t& id) const
{
    return m_deviceById.value(id);
}

IoResource::Ptr_t SystemModel::resource(const NodeId_t& id) const
{
    return m_resourceById.value(id);
}

QList<DeviceHandle> SystemModel::deviceHandles() const
{
    QMap<qint64, DeviceHandle> placed;
    for (const Device::Ptr_t& d : m_devices) {
        if (d->deviceClass() == Device::PexClass)
            continue;
        const qint64 key = ResourceOrder::busSlot(d->number());
        placed.insert(key, d->handle());
        for (const NodeId_t& childId : d->childIds()) {
            const Device::Ptr_t child = device(childId);
            if (child)
                placed.insert(key + child->number() + 1, child->handle());
        }
    }
    return placed.values();
}

QString SystemModel::systemKey() const
{
    const QList<DeviceHandle> handles = deviceHandles();
    if (handles.isEmpty())
        return QString();
    const Device::Ptr_t first = device(handles.first().id);
    return first ? first->identityKey() : QString();
}

QMap<QString, DeviceHandle> SystemModel::nodePath(const QList<DeviceHandle>& handles)
{
    QMap<QString, DeviceHandle> paths;
    int controllers = 0;
    // A module listed before any controller must not take the path of the first controller's
    // first module.
    int lastController = -1;
    int modules = 1;
    for (const DeviceHandle& h : handles) {
        if (h.owner.isNull()) {
            lastController = controllers++;
            modules = 1;
            paths.insert(QStringLiteral("/%1").arg(lastController), h);
        } else {
            paths.insert(QStringLiteral("/%1/%2").arg(lastController).arg(modules++), h);
        }
    }
    return paths;
}

SystemModel::Resources_t SystemModel::deviceResources(const NodeId_t& deviceId, bool withPorts) const
{
    Resources_t list;
    const Device::Ptr_t d = device(deviceId);
    if (!d)
        return list;
    list.reserve(d->resourceIds().size() + (withPorts ? 2 : 0));
    for (const NodeId_t& id : d->resourceIds()) {
        const auto r = m_resourceById.constFind(id);
        if (r != m_resourceById.cend())
            list.append(r.value());
    }
    if (withPorts && d->number() != 0)
        list.append(serialPorts());
    return list;
}

SystemModel::Resources_t SystemModel::serialPorts() const
{
    return resourcesOfKind(ResourceKind::SerialPort);
}

SystemModel::Resources_t SystemModel::resourcesOfKind(int kind) const
{
    return m_order.listOfKind(kind);
}

void SystemModel::groupByKind(const NodeId_t& deviceId, bool withPorts, int lastKind,
                              KindGroups& groups) const
{
    for (std::vector<IoResource::Ptr_t>& group : groups)
        group.clear();
    const auto filed = m_deviceById.constFind(deviceId);
    if (filed == m_deviceById.cend())
        return;
    const Device& device = *filed.value();
    const auto take = [&groups, lastKind](const IoResource::Ptr_t& r) {
        const int kind = r->kind();
        if (kind >= ResourceKind::Ain && kind <= lastKind && kind <= ResourceKind::SerialPort)
            groups[std::size_t(kind)].push_back(r);
    };
    for (const NodeId_t& id : device.resourceIds()) {
        const auto r = m_resourceById.constFind(id);
        if (r != m_resourceById.cend())
            take(r.value());
    }
    if (withPorts && device.number() != 0) {
        for (const IoResource::Ptr_t& port : m_order.ofKind(ResourceKind::SerialPort))
            take(port);
    }
    for (std::vector<IoResource::Ptr_t>& group : groups)
        m_order.sort(group);
}

QMap<int, SystemModel::Resources_t> SystemModel::ioResources(const Device::Ptr_t& device) const
{
    QMap<int, Resources_t> groups;
    if (!device) {
        for (const int kind : {ResourceKind::Ain, ResourceKind::Aout, ResourceKind::Din,
                               ResourceKind::Dout}) {
            const Resources_t list = resourcesOfKind(kind);
            if (!list.isEmpty())
                groups.insert(kind, list);
        }
        return groups;
    }
    // Only device 0 lists the ports, and it holds them itself: borrowed ones would be left out.
    KindGroups byKind;
    groupByKind(device->id(), false,
                device->number() == 0 ? ResourceKind::SerialPort : ResourceKind::Dout, byKind);
    for (std::size_t kind = 0; kind < byKind.size(); ++kind) {
        if (byKind[kind].empty())
            continue;
        Resources_t& list = groups[int(kind)];
        list.reserve(int(byKind[kind].size()));
        for (const IoResource::Ptr_t& r : byKind[kind])
            list.append(r);
    }
    return groups;
}

QList<Device::Ptr_t> SystemModel::ownersOf(const Resources_t& resources) const
{
    // Keyed by id, not by device number: a controller and its module can share a number.
    QMap<NodeId_t, Device::Ptr_t> owners;
    for (const IoResource::Ptr_t& r : resources) {
        if (!r)
            continue;
        const Device::Ptr_t d = device(r->owner());
        if (d)
            owners.insert(d->id(), d);
    }
    QList<Device::Ptr_t> list = owners.values();
    std::stable_sort(list.begin(), list.end(), [this](const Device::Ptr_t& a, const Device::Ptr_t& b) {
        return busKey(a) < busKey(b);
    });
    return list;
}

qint64 SystemModel::busKey(const Device::Ptr_t& device) const
{
    return device ? m_order.busKey(*device) : 0;
}

bool SystemModel::resourceLess(const IoResource::Ptr_t& a, const IoResource::Ptr_t& b) const
{
    return m_order.less(a, b);
}

void SystemModel::sortResources(Resources_t& resources) const
{
    m_order.sort(resources);
}

void SystemModel::pairAnalogInputs()
{
    const ResourceOrder::KindList& inputs = m_order.ofKind(ResourceKind::Ain);
    IoResource::pairAnalogInputs(inputs.data(), inputs.data() + inputs.size());
}

void SystemModel::assignRegisters()
{
    const SettingsProvider& provider = SettingsProvider::instance();
    for (const int kind : {ResourceKind::Ain, ResourceKind::Aout, ResourceKind::Din,
                           ResourceKind::Dout}) {
        const ResourceOrder::KindList& list = m_order.ofKind(kind);
        QList<int> roles;
        SettingsProvider::rolesOfKind(kind, &roles);
        quint32 running = 0;
        for (const int role : roles) {
            ProtoEntry entry;
            if (!provider.iortEntry(Resource::roleWord(role), &entry))
                continue;
            const quint32 start = entry.offset == kFollowsPrevious ? running : entry.offset;
            for (std::size_t k = 0; k < list.size(); ++k) {
                ProtoEntry placed = entry;
                placed.offset = start + quint32(k) * entry.registers;
                list[k]->setRole(role, placed);
            }
            running = start + quint32(list.size()) * entry.registers;
        }
    }
}

const DeviceTemplate* SystemModel::deviceTemplate(const DeviceHandle& handle,
                                                  DeviceTemplate& scratch)
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    if (m_batchDepth == 0)
        return catalogue.deviceTemplate(handle.type, handle.revision, &scratch, true) ? &scratch
                                                                                     : nullptr;
    const quint64 key = quint64(handle.type) << 32 | quint32(handle.revision);
    auto kept = m_batchTemplates.constFind(key);
    if (kept == m_batchTemplates.cend()) {
        if (!catalogue.deviceTemplate(handle.type, handle.revision, &scratch, true))
            return nullptr;
        kept = m_batchTemplates.insert(key, scratch);
    }
    return &kept.value();
}

bool SystemModel::createDevice(const DeviceHandle& handle)
{
    DeviceTemplate scratch;
    const DeviceTemplate* tpl = deviceTemplate(handle, scratch);
    if (!tpl)
        return false;
    const Device::Ptr_t d = Device::create(tpl->deviceClass, handle);
    if (!d)
        return false;
    d->applyTemplate(*tpl);
    // A replaced device takes its resources with it; left behind they would claim an owner that
    // no longer lists them and still take part in pairing, registers and the file.
    const Device::Ptr_t replaced = device(handle.id);
    if (replaced) {
        for (const NodeId_t& id : replaced->resourceIds())
            dropFromModel(id);
    }
    m_devices.insert(handle.id, d);
    m_deviceById.insert(handle.id, d);
    return true;
}

Device::Ptr_t SystemModel::addDevice(const DeviceHandle& handle)
{
    if (!createDevice(handle))
        return Device::Ptr_t();
    const Device::Ptr_t d = device(handle.id);
    if (!d)
        return Device::Ptr_t();
    createResources(d);
    pairWhenDue();
    const Device::Ptr_t owner = device(handle.owner);
    if (!handle.owner.isNull() && owner && owner != d)
        owner->addChild(d->id());
    takeFirstResourceSettings(d);
    settleWhenDue();
    return d;
}

void SystemModel::createResources(const Device::Ptr_t& d)
{
    // Device 0 may take the two serial ports after its channels.
    d->reserveResources(d->resourceIds().size() + d->channels().size() + 2);
    for (const IoChannel& channel : d->channels()) {
        const IoResource::Ptr_t r = IoResource::create(channel.kind, newNodeId());
        if (!r)
            continue;
        makeAs(*r, channelResource(channel));
        fileResource(d, r);
    }
    // A controller that becomes number 0 while the system has its ports takes those over.
    if (d->number() == 0 && m_order.ofKind(ResourceKind::SerialPort).empty())
        createSerialPorts(d);
}

void SystemModel::createSerialPorts(const Device::Ptr_t& d)
{
    for (const int port : {1, 2}) {
        const IoResource::Ptr_t r = IoResource::create(ResourceKind::SerialPort, newNodeId());
        makeAs(*r, portResource(r->typeName(), port));
        giveMadePortSettings(*r);
        fileResource(d, r);
    }
}

void SystemModel::fileResource(const Device::Ptr_t& d, const IoResource::Ptr_t& r)
{
    r->setOwner(d->id());
    fileInModel(r);
    d->addResource(r->id());
}

bool SystemModel::takesDeviceSettings(const Device::Ptr_t& d)
{
    return d && takesDeviceClass(d->deviceClass());
}

bool SystemModel::takesDeviceClass(int deviceClass)
{
    return deviceClass >= Device::PlcClass && deviceClass <= Device::PexClass;
}

void SystemModel::takeFirstResourceSettings(const Device::Ptr_t& d)
{
    if (!takesDeviceSettings(d))
        return;
    FirstSettings first(*d);
    for (const NodeId_t& id : d->resourceIds()) {
        const auto filed = m_resourceById.constFind(id);
        if (filed != m_resourceById.cend() && first.take(*filed.value()))
            break;
    }
    first.giveTo(*d);
}

void SystemModel::applyDeviceSettings(const Device::Ptr_t& d)
{
    if (!takesDeviceSettings(d))
        return;
    AbstractConfig part;
    d->exportConfig(part);
    for (const NodeId_t& id : d->resourceIds()) {
        const IoResource::Ptr_t r = resource(id);
        if (!r)
            continue;
        AbstractConfig config;
        r->exportConfig(config);
        carryDeviceSettings(part, config, Toward::Resource);
        r->restoreConfig(config);
    }
}

void SystemModel::resourceSettingsChanged(const QList<NodeId_t>& devices, const NodeId_t& resourceId)
{
    const IoResource::Ptr_t r = resource(resourceId);
    if (!r)
        return;
    AbstractConfig own;
    r->exportConfig(own);
    for (const NodeId_t& id : devices) {
        const Device::Ptr_t d = device(id);
        if (!takesDeviceSettings(d))
            continue;
        AbstractConfig part;
        d->exportConfig(part);
        carryDeviceSettings(part, own, Toward::Part);
        d->importConfig(part);
        applyDeviceSettings(d);
    }
}

bool SystemModel::insertDevice(const Device::Ptr_t& d, const Resources_t& resources)
{
    if (!d || m_deviceById.contains(d->id()))
        return false;
    m_devices.insert(d->id(), d);
    m_deviceById.insert(d->id(), d);
    // A module taken out by an undo may meanwhile have left its controller's list (a reordering or
    // a removal undone rebuilds that list from the bus): put back, it is on that bus again.
    const Device::Ptr_t owner = device(d->owner());
    if (owner && owner != d)
        owner->addChild(d->id());
    bool allFiled = true;
    for (const IoResource::Ptr_t& r : resources) {
        const IoResource::Ptr_t filed = r ? resource(r->id()) : IoResource::Ptr_t();
        if (!r || (filed && (filed != r || r->kind() != ResourceKind::SerialPort))) {
            allFiled = false;
            continue;
        }
        fileInModel(r);
    }
    takeFirstResourceSettings(d);
    settleWhenDue();
    return allFiled;
}

void SystemModel::removeDevice(const NodeId_t& id)
{
    const Device::Ptr_t d = device(id);
    if (!d)
        return;
    m_devices.remove(id);
    m_deviceById.remove(id);
    // The ports stay with the system for the controller that becomes number 0 next; the device
    // keeps listing them, so putting it back restores them too.
    const bool keepPorts = !m_devices.isEmpty();
    for (const NodeId_t& rid : d->resourceIds()) {
        const IoResource::Ptr_t r = resource(rid);
        if (r && !(keepPorts && r->kind() == ResourceKind::SerialPort))
            dropFromModel(rid);
    }
    if (!keepPorts) {
        for (const IoResource::Ptr_t& port : serialPorts())
            dropFromModel(port->id());
    }
}

Device::Ptr_t SystemModel::portHolder() const
{
    return portHolder(deviceHandles());
}

Device::Ptr_t SystemModel::portHolder(const QList<DeviceHandle>& handles) const
{
    if (handles.isEmpty() || !handles.first().owner.isNull() || handles.first().number != 0)
        return Device::Ptr_t();
    return device(handles.first().id);
}

void SystemModel::settlePorts()
{
    // A copy: handing the ports over reorders the model's own list.
    const ResourceOrder::KindList ports = m_order.ofKind(ResourceKind::SerialPort);
    if (ports.empty())
        return;
    const Device::Ptr_t holder = portHolder();
    for (const Device::Ptr_t& d : qAsConst(m_devices)) {
        if (d == holder)
            continue;
        for (const IoResource::Ptr_t& port : ports)
            d->removeResource(port->id());
    }
    if (!holder)
        return;
    ResourceOrder::KindList byIndex = ports;
    std::stable_sort(byIndex.begin(), byIndex.end(),
                     [](const IoResource::Ptr_t& a, const IoResource::Ptr_t& b) {
                         return a->index() < b->index();
                     });
    for (const IoResource::Ptr_t& port : qAsConst(byIndex)) {
        if (!holder->resourceIds().contains(port->id()))
            holder->addResource(port->id());
        port->setOwner(holder->id());
    }
}

void SystemModel::renumber()
{
    int controller = 0;
    int module = 1;
    for (const DeviceHandle& h : deviceHandles()) {
        const Device::Ptr_t d = device(h.id);
        if (!d)
            continue;
        if (d->owner().isNull()) {
            d->setNumber(controller++);
            module = 1;
        } else {
            d->setNumber(module++);
        }
    }
    settlePorts();
}

void SystemModel::moveBus(const QList<DeviceHandle>& handles)
{
    QMap<NodeId_t, QList<NodeId_t>> children;
    for (const DeviceHandle& h : handles) {
        if (h.owner.isNull())
            children.insert(h.id, QList<NodeId_t>());
    }
    for (const DeviceHandle& h : handles) {
        const Device::Ptr_t d = device(h.id);
        if (!d)
            continue;
        d->setNumber(h.number);
        d->setOwner(h.owner);
        if (!h.owner.isNull())
            children[h.owner].append(h.id);
    }
    for (auto it = children.cbegin(); it != children.cend(); ++it) {
        const Device::Ptr_t owner = device(it.key());
        if (owner && owner->childIds() != it.value())
            owner->setChildIds(it.value());
    }
    settlePorts();
}

void SystemModel::changeGroup(const QList<DeviceHandle>& handles)
{
    for (const DeviceHandle& h : handles) {
        const Device::Ptr_t d = device(h.id);
        if (d)
            d->setGroup(h.group);
    }
}

bool SystemModel::heldAsMade(const QList<DeviceHandle>& handles,
                             std::vector<HeldDevice>& held) const
{
    held.clear();
    held.resize(std::size_t(handles.size()));
    const Device::Ptr_t holder = portHolder(handles);
    int listed = 0;
    for (int i = 0; i < handles.size(); ++i) {
        HeldDevice& entry = held[std::size_t(i)];
        const auto filedDevice = m_deviceById.constFind(handles.at(i).id);
        if (filedDevice == m_deviceById.cend())
            return false;
        entry.device = filedDevice.value().data();
        const Device& d = *entry.device;
        const QVector<NodeId_t>& ids = d.resourceIds();
        entry.own.reserve(std::size_t(ids.size()));
        const auto next = [&](const MadeAs& made) {
            if (int(entry.own.size()) >= ids.size())
                return false;
            const auto filed = m_resourceById.constFind(ids.at(int(entry.own.size())));
            if (filed == m_resourceById.cend() || filed.value()->owner() != d.id()
                || !isMadeAs(*filed.value(), made))
                return false;
            entry.own.push_back(filed.value().data());
            return true;
        };
        for (const IoChannel& channel : d.channels()) {
            if (ResourceKind::isMade(channel.kind) && !next(channelResource(channel)))
                return false;
        }
        if (filedDevice.value() == holder) {
            const QString portType = IoResource::create(ResourceKind::SerialPort, {})->typeName();
            for (const int port : {1, 2}) {
                if (!next(portResource(portType, port)))
                    return false;
            }
        }
        if (int(entry.own.size()) != ids.size())
            return false;
        listed += ids.size();

    }
    return listed == m_resourceById.size();
}

void SystemModel::restartSettings(const std::vector<HeldDevice>& held)
{
    std::array<AbstractConfig, ResourceKind::SerialPort + 1> configs;
    std::array<AbstractValue, ResourceKind::SerialPort + 1> values;
    for (int kind = ResourceKind::Ain; kind <= ResourceKind::SerialPort; ++kind) {
        const IoResource::Ptr_t made = IoResource::create(kind, NodeId_t());
        if (kind == ResourceKind::SerialPort)
            giveMadePortSettings(*made);
        made->exportConfig(configs[std::size_t(kind)]);
        made->exportValue(values[std::size_t(kind)]);
    }
    for (const HeldDevice& entry : held) {
        for (IoResource* r : entry.own) {
            const std::size_t kind = std::size_t(r->kind());
            r->restoreConfig(configs[kind]);
            r->importValue(values[kind]);
            r->setFlag(false);
            r->clearCoupledFlag();
        }
        Device& d = *entry.device;
        d.setReadings({});
        d.setGroup(QString());
        d.importConfig(AbstractConfig());
    }
}

void SystemModel::takeDeviceSettings(const std::vector<HeldDevice>& held)
{
    for (const HeldDevice& entry : held) {
        if (!takesDeviceClass(entry.device->deviceClass()))
            continue;
        FirstSettings first(*entry.device);
        for (const IoResource* r : entry.own) {
            if (first.take(*r))
                break;
        }
        first.giveTo(*entry.device);
    }
}

void SystemModel::takeOver(const SystemModel& parsed)
{
    clear();
    const Batch batch(this);
    for (const Device::Ptr_t& d : parsed.devices()) {
        Resources_t own;
        own.reserve(d->resourceIds().size());
        for (const NodeId_t& id : d->resourceIds()) {
            if (const IoResource::Ptr_t r = parsed.resource(id))
                own.append(r);
        }
        insertDevice(d, own);
    }
}

void SystemModel::copyResourceSettings(const Resources_t& from, const Device::Ptr_t& to)
{
    if (!to)
        return;
    QMap<int, Resources_t> oldByKind;
    for (const IoResource::Ptr_t& r : from) {
        if (r && ResourceKind::isMade(r->kind()))
            oldByKind[r->kind()].append(r);
    }
    QMap<int, Resources_t> newByKind;
    for (const IoResource::Ptr_t& r : deviceResources(to->id(), true)) {
        if (ResourceKind::isMade(r->kind()))
            newByKind[r->kind()].append(r);
    }
    for (auto it = oldByKind.begin(); it != oldByKind.end(); ++it) {
        if (!newByKind.contains(it.key()))
            continue;
        Resources_t& olds = it.value();
        Resources_t& news = newByKind[it.key()];
        sortResources(olds);
        sortResources(news);
        const int n = qMin(olds.size(), news.size());
        for (int i = 0; i < n; ++i) {
            AbstractConfig config;
            olds.at(i)->exportConfig(config);
            news.at(i)->importConfig(config);
        }
    }
    if (!takesDeviceSettings(to))
        return;
    // The device-wide switches come over from the old device to every resource of the new one,
    // also to those the old device did not have: resources left disagreeing would take another's
    // value from an undo of one of them.
    FirstSettings first(*to);
    for (const int kind : {ResourceKind::Ain, ResourceKind::Din}) {
        const auto olds = oldByKind.constFind(kind);
        if (olds != oldByKind.cend() && !olds.value().isEmpty())
            first.take(*olds.value().first());
    }
    first.giveTo(*to);
    applyDeviceSettings(to);
}

void SystemModel::clear()
{
    m_devices.clear();
    m_deviceById.clear();
    m_resourceById.clear();
    m_order.clear();
    NodeId::resetImageIds();
    emit changed(QList<NodeId_t>());
}

void SystemModel::realtimeUpdated(const QList<NodeId_t>& ids, bool deviceValues)
{
    if (deviceValues)
        emit changedDeviceValues(ids);
    else
        emit changedValues(ids);
}

void SystemModel::realtimeUpdated(const QList<NodeId_t>& ids)
{
    realtimeUpdated(ids, false);
}

void SystemModel::userControl(const QList<NodeId_t>& ids)
{
    emit controlValues(ids);
}

void SystemModel::resourceUpdated(const QList<NodeId_t>& ids)
{
    // Serial ports are shown on the system page, so a port edit refreshes the system views; the
    // resource views listen to changedResources.
    bool portsOnly = ids.size() <= 2;
    for (int i = 0; portsOnly && i < ids.size(); ++i) {
        const IoResource::Ptr_t r = resource(ids.at(i));
        portsOnly = r && r->kind() == ResourceKind::SerialPort;
    }
    if (portsOnly)
        emit changed(ids);
    else
        emit changedResources(ids);
}

void SystemModel::systemUpdated()
{
    emit changed(QList<NodeId_t>());
}
