#include "resourceconfigurator/resourceconfigurationmodel.h"

#include "model/systemmodel.h"

#include <QColor>
#include <QDebug>
#include <QElapsedTimer>
#include <QSize>

namespace ResourceConfiguration {

namespace {

const QColor kNodeColour(0x44, 0x48, 0x4e);

QColor kindColour(int kind)
{
    return kind >= ResourceKind::Ain && kind <= ResourceKind::SerialPort ? kNodeColour
                                                                         : QColor(Qt::black);
}

QColor classColour(int deviceClass)
{
    return deviceClass >= Device::PlcClass && deviceClass <= Device::PexClass ? kNodeColour
                                                                              : QColor(Qt::black);
}

// Devices without a group, and those whose group reads "none", sit at the top level.
bool isGrouped(const DeviceHandle& handle)
{
    return !handle.group.isEmpty() && handle.group != QLatin1String("none");
}

} // namespace

Model::Model(SystemModel* system, QObject* parent)
    : QAbstractItemModel(parent)
    , m_system(system)
{
    m_root.type = Node::Root;
    m_root.columns = 1;
    if (m_system)
        setSystemDevices(m_system->deviceHandles());
}

Model::~Model() = default;

Model::Node* Model::newNode(Node::Type type, Node* parent)
{
    m_nodes.emplace_back();
    Node* node = &m_nodes.back();
    node->type = type;
    node->parent = parent;
    if (parent) {
        node->row = int(parent->children.size());
        parent->children.push_back(node);
    }
    return node;
}

void Model::setSystemDevices(const QList<DeviceHandle>& handles)
{
    // Rows left from before answer nothing more, as rows of a tree built anew.
    m_nodeById.clear();
    for (Node& node : m_nodes) {
        node.bound = false;
        node.live = LiveTexts();
    }
    QElapsedTimer timer;
    timer.start();

    QVector<Device::Ptr_t> devices;
    devices.reserve(handles.size());
    int resources = 0;
    for (const DeviceHandle& handle : handles) {
        devices.append(m_system ? m_system->device(handle.id) : Device::Ptr_t());
        if (devices.last())
            resources += devices.last()->resourceIds().size();
    }
    m_nodeById.reserve(handles.size() + resources);

    // The same group name may turn up again after other devices: its devices still join the
    // one row of that group, so none of them drops out of the tree.
    std::vector<Node*> rows;
    QHash<QString, Node*> groupRows;
    std::vector<Node*> groupOrder;
    for (int i = 0; i < handles.size(); ++i) {
        const DeviceHandle& handle = handles.at(i);
        Node* device = makeDeviceRow(handle, devices.at(i));
        if (!isGrouped(handle)) {
            rows.push_back(device);
            continue;
        }
        Node*& group = groupRows[handle.group];
        if (!group) {
            group = makeGroupRow(handle.group);
            groupOrder.push_back(group);
            rows.push_back(group);
        }
        device->parent = group;
        device->row = int(group->children.size());
        group->children.push_back(device);
    }
    for (Node* group : groupOrder)
        newNode(Node::Spacer, group);

    // The whole top level arrives as one insertion: a view and a proxy redo their work once.
    if (!rows.empty()) {
        const int first = int(m_root.children.size());
        beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
        for (Node* row : rows) {
            row->parent = &m_root;
            row->row = int(m_root.children.size());
            m_root.children.push_back(row);
        }
        endInsertRows();
    }

    const qint64 ms = timer.elapsed();
    qDebug() << "Model::setSystemDevices" << int(rows.size()) << ms
             << (rows.empty() ? 0.0 : double(ms) / rows.size());
}

Model::Node* Model::makeGroupRow(const QString& name)
{
    Node* group = newNode(Node::Group, nullptr);
    group->text = name;
    group->expander = 1;
    group->columns = 1;
    return group;
}

Model::Node* Model::makeDeviceRow(const DeviceHandle& handle, const Device::Ptr_t& device)
{
    if (!device)
        return newNode(Node::Blank, nullptr);
    Node* row = newNode(Node::Device, nullptr);
    const Device::Ptr_t owner = m_system->device(handle.owner);
    row->text = device->displayName(owner ? owner->number() : 0);
    row->deviceClass = device->deviceClass();
    row->expander = device->resourceIds().size() == 2 ? 0 : 1;
    row->id = device->id();
    row->columns = 2;
    // The rows' roles are answered by data() from the resource: a resource row holds its id only.
    row->children.reserve(device->resourceIds().size());
    for (const NodeId_t& id : device->resourceIds()) {
        Node* resource = newNode(Node::Resource, row);
        resource->id = id;
        const IoResource::Ptr_t r = m_system->resource(id);
        if (!r)
            continue;
        resource->bound = true;
        resource->kind = r->kind();
        resource->number = r->index();
        m_nodeById.insert(id, resource);
    }
    m_nodeById.insert(row->id, row);
    return row;
}

void Model::reload()
{
    if (!m_root.children.empty()) {
        beginRemoveRows(QModelIndex(), 0, int(m_root.children.size()) - 1);
        m_root.children.clear();
        m_nodeById.clear();
        m_nodes.clear();
        endRemoveRows();
    }
    setSystemDevices(m_system ? m_system->deviceHandles() : QList<DeviceHandle>());
}

void Model::setMonitoring(bool on)
{
    if (!on && m_root.columns > 1) {
        for (Node& node : m_nodes) {
            if (!node.live.shown)
                continue;
            node.live.status.clear();
            node.live.value.clear();
            node.live.second.clear();
            node.live.labelOnly = true;
        }
    }
    const int columns = on ? 2 : 1;
    if (columns > m_root.columns) {
        beginInsertColumns(QModelIndex(), m_root.columns, columns - 1);
        m_root.columns = columns;
        endInsertColumns();
    } else if (columns < m_root.columns) {
        beginRemoveColumns(QModelIndex(), columns, m_root.columns - 1);
        m_root.columns = columns;
        endRemoveColumns();
    }
}

Model::Node* Model::nodeOf(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this ? static_cast<Node*>(index.internalPointer())
                                                    : nullptr;
}

QModelIndex Model::indexOf(const Node* node, int column) const
{
    if (!node || node == &m_root)
        return QModelIndex();
    return createIndex(node->row, column, const_cast<Node*>(node));
}

QModelIndex Model::index(int row, int column, const QModelIndex& parent) const
{
    // Value cells have no rows under them.
    const Node* owner = parent.isValid() ? (parent.column() == 0 ? nodeOf(parent) : nullptr) : &m_root;
    if (!owner || row < 0 || column < 0 || row >= int(owner->children.size())
        || column >= owner->columns)
        return QModelIndex();
    return createIndex(row, column, owner->children[size_t(row)]);
}

QModelIndex Model::parent(const QModelIndex& child) const
{
    const Node* node = nodeOf(child);
    return node ? indexOf(node->parent) : QModelIndex();
}

int Model::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_root.children.size());
    const Node* node = parent.column() == 0 ? nodeOf(parent) : nullptr;
    return node ? int(node->children.size()) : 0;
}

int Model::columnCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_root.columns;
    const Node* node = parent.column() == 0 ? nodeOf(parent) : nullptr;
    return node ? node->columns : 0;
}

Qt::ItemFlags Model::flags(const QModelIndex& index) const
{
    // What a standard item allows; the view opens no editor and starts no drag anyway.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
        | Qt::ItemIsDropEnabled;
}

bool Model::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Node* node = nodeOf(index);
    if (!node || index.column() != 0 || role != ExpanderRole)
        return false;
    if (value.isValid() && node->expander.userType() == value.userType() && node->expander == value)
        return true;
    node->expander = value;
    emit dataChanged(index, index, {role});
    return true;
}

QVariant Model::liveText(const Node* node, int column, int role) const
{
    LiveTexts& texts = node->live;
    if (!texts.shown || (column == 0 && role != StatusRole))
        return QVariant();
    if (texts.due)
        readTexts(node, texts);
    if (column == 0)
        return texts.labelStatus;
    if (texts.labelOnly)
        return QVariant();
    switch (role) {
    case StatusRole: return texts.status;
    case ValueRole: return texts.value;
    default: return texts.second;
    }
}

QVariant Model::resourceData(const Node* node, int column, int role) const
{
    if (!node->bound)
        return column == 0 && role == ExpanderRole ? node->expander : QVariant();
    if (role == StatusRole || role == ValueRole || role == SecondValueRole) {
        const QVariant text = liveText(node, column, role);
        if (text.isValid() || column == 1)
            return text;
    }
    const IoResource::Ptr_t r = m_system ? m_system->resource(node->id) : IoResource::Ptr_t();
    if (column == 1)
        return role == KindRole && r ? QVariant(r->kind()) : QVariant();
    if (!r)
        return role == ExpanderRole ? node->expander : QVariant();
    switch (role) {
    case Qt::DisplayRole: return r->valueText().value(0);
    case Qt::ForegroundRole: return kindColour(r->kind());
    case ItemTypeRole: return int(ResourceItem);
    case IdRole: return r->id();
    case KindRole: return r->kind();
    case NumberRole: return r->index();
    case CoupledRole: return r->isCoupled();
    case SecondaryRole: return r->isSecondary();
    // No expander, unless the view has marked a press on the row.
    case ExpanderRole: return node->expander.isValid() ? node->expander : QVariant(0);
    default: return QVariant();
    }
}

QVariant Model::data(const QModelIndex& index, int role) const
{
    const Node* node = nodeOf(index);
    if (!node)
        return QVariant();
    if (node->type == Node::Resource)
        return resourceData(node, index.column(), role);
    // Rows of groups and devices have no value cell of their own.
    if (index.column() != 0)
        return QVariant();
    if (role == ExpanderRole)
        return node->expander;
    switch (node->type) {
    case Node::Group:
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return node->text;
        case ItemTypeRole: return int(GroupItem);
        default: return QVariant();
        }
    case Node::Device:
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return node->text;
        case Qt::ForegroundRole: return classColour(node->deviceClass);
        case Qt::SizeHintRole: return QSize(50, 28);
        case ItemTypeRole: return int(DeviceItem);
        case IdRole: return node->id;
        case KindRole: return DeviceKind;
        case DeviceClassRole: return node->deviceClass;
        default: return QVariant();
        }
    case Node::Spacer:
        return role == SpacerRole ? QVariant(1) : QVariant();
    default:
        return QVariant();
    }
}

void Model::readTexts(const Node* node, LiveTexts& live) const
{
    live.due = false;
    const IoResource::Ptr_t r = m_system ? m_system->resource(node->id) : IoResource::Ptr_t();
    if (!r)
        return;
    QMap<int, QString> texts = r->valueText();
    // Discrete kinds carry no status words: their texts hold the state under 1 and the counter
    // under 2, one place lower than the tree's status, value and second value.
    if (r->kind() == ResourceKind::Din || r->kind() == ResourceKind::Dout)
        texts = {{2, texts.value(1)}, {3, texts.value(2)}};
    live.labelStatus = texts.value(1);
    if (live.labelOnly)
        return;
    live.status = texts.value(1);
    live.value = texts.value(2);
    live.second = texts.value(3);
}

void Model::updateValues(const QList<NodeId_t>& ids)
{
    if (!m_system)
        return;
    // One monitoring tick changes every row: the texts are announced once per run of rows under
    // one device.
    std::vector<Run> runs;
    ++m_spanMark;
    for (const NodeId_t& id : ids) {
        Node* node = m_nodeById.value(id);
        if (!node || node->type != Node::Resource || !m_system->resource(id))
            continue;
        LiveTexts& live = node->live;
        live.shown = true;
        live.due = true;
        live.labelOnly = false;
        addToSpan(runs, node->parent, node->row);
    }
    announce(runs, 1, {StatusRole, ValueRole, SecondValueRole});
}

void Model::addToSpan(std::vector<Run>& runs, Node* parent, int row)
{
    if (parent->spanMark != m_spanMark) {
        parent->spanMark = m_spanMark;
        parent->spanSlot = int(runs.size());
        runs.push_back({parent, row, row});
        return;
    }
    Run& run = runs[size_t(parent->spanSlot)];
    run.first = qMin(run.first, row);
    run.last = qMax(run.last, row);
}

void Model::announce(const std::vector<Run>& runs, int lastColumn, const QVector<int>& roles)
{
    for (const Run& run : runs) {
        const QModelIndex parent = indexOf(run.parent);
        emit dataChanged(index(run.first, 0, parent), index(run.last, lastColumn, parent), roles);
    }
}

void Model::refreshRows(const QList<NodeId_t>& ids)
{
    std::vector<Run> runs;
    ++m_spanMark;
    for (const NodeId_t& id : ids) {
        if (Node* node = m_nodeById.value(id))
            addToSpan(runs, node->parent, node->row);
    }
    announce(runs, 0, {});
}

QList<QModelIndex> Model::indexes(const QList<NodeId_t>& ids) const
{
    QList<QModelIndex> out;
    for (const NodeId_t& id : ids) {
        if (const Node* node = m_nodeById.value(id))
            out.append(indexOf(node));
    }
    return out;
}

Model::RowFacts Model::orderFacts(const QModelIndex& index) const
{
    RowFacts facts;
    const Node* node = nodeOf(index);
    if (!node || index.column() != 0)
        return facts;
    if (node->type == Node::Device) {
        facts.kind = DeviceKind;
    } else if (node->type == Node::Resource && node->bound) {
        facts.node = false;
        facts.kind = node->kind;
        facts.number = node->number;
    }
    return facts;
}

Model::RowFacts Model::rowFacts(const QModelIndex& index) const
{
    RowFacts facts = orderFacts(index);
    if (facts.node)
        return facts;
    // A resource the system no longer has leaves an empty row.
    const IoResource::Ptr_t r = m_system ? m_system->resource(nodeOf(index)->id) : IoResource::Ptr_t();
    if (!r)
        return RowFacts();
    facts.coupledSecondary = r->isCoupled() && r->isSecondary();
    return facts;
}

IoResource::Ptr_t Model::resource(const QModelIndex& index) const
{
    if (isDevice(index) || !m_system)
        return IoResource::Ptr_t();
    return m_system->resource(index.data(IdRole).toUuid());
}

Device::Ptr_t Model::device(const QModelIndex& index) const
{
    if (!isDevice(index) || !m_system)
        return Device::Ptr_t();
    return m_system->device(index.data(IdRole).toUuid());
}

Device::Ptr_t Model::ownerDevice(const QModelIndex& index) const
{
    const IoResource::Ptr_t r = resource(index);
    return r ? m_system->device(r->owner()) : Device::Ptr_t();
}

QList<IoResource::Ptr_t> Model::resources(const QList<QModelIndex>& indexes) const
{
    QList<IoResource::Ptr_t> out;
    for (const QModelIndex& index : indexes) {
        const IoResource::Ptr_t r = resource(index);
        if (r)
            out.append(r);
    }
    return out;
}

QList<Device::Ptr_t> Model::devices(const QList<QModelIndex>& indexes) const
{
    QList<Device::Ptr_t> out;
    for (const QModelIndex& index : indexes) {
        const Device::Ptr_t d = device(index);
        if (d)
            out.append(d);
    }
    return out;
}

bool Model::isDevice(const QModelIndex& index)
{
    return index.data(ItemTypeRole).toInt() == DeviceItem;
}

bool Model::isExpandable(const QModelIndex& index)
{
    const int type = index.data(ItemTypeRole).toInt();
    return (type == GroupItem || type == DeviceItem) && index.data(ExpanderRole).toInt() != 0;
}

QList<QModelIndex> Model::allIndexes(const QAbstractItemModel* model, const QModelIndex& parent)
{
    QList<QModelIndex> out;
    if (!model)
        return out;
    const int rows = model->rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex child = model->index(row, 0, parent);
        if (!child.isValid())
            continue;
        out.append(child);
        out.append(allIndexes(model, child));
    }
    return out;
}

} // namespace ResourceConfiguration
