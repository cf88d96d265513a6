#include "resourceconfigurator/resourceconfigurationmodel.h"

#include "model/systemmodel.h"

#include <QColor>
#include <QDebug>
#include <QElapsedTimer>
#include <QSize>
#include <QStandardItem>


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
    : QStandardItemModel(0, 1, parent)
    , m_system(system)
{
    if (m_system)
        setSystemDevices(m_system->deviceHandles());
}

void Model::setSystemDevices(const QList<DeviceHandle>& handles)
{
    m_indexById.clear();
    m_idByIndex.clear();
    m_liveTexts.clear();
    QElapsedTimer timer;
    timer.start();

    // The same group name may turn up again after other devices: its devices still join the
    // one row of that group, so none of them drops out of the tree.
    QVector<Pending> pending;
    QList<QStandardItem*> rows;
    QHash<QString, QStandardItem*> groupRows;
    QList<QStandardItem*> groupOrder;
    for (const DeviceHandle& handle : handles) {
        if (!isGrouped(handle)) {
            rows.append(makeDeviceRow(handle, pending));
            continue;
        }
        QStandardItem*& group = groupRows[handle.group];
        if (!group) {
            group = makeGroupRow(handle.group);
            groupOrder.append(group);
            rows.append(group);
        }
        group->appendRow(makeDeviceRow(handle, pending));
    }
    for (QStandardItem* group : qAsConst(groupOrder)) {
        auto* spacer = new QStandardItem;
        spacer->setData(1, SpacerRole);
        group->appendRow(spacer);
    }

    // appendRow hands the model down to the whole detached subtree; appendRows does not.
    for (QStandardItem* row : qAsConst(rows))
        appendRow(row);
    for (const Pending& p : pending) {
        const QModelIndex index = p.item->index();
        m_indexById.insert(p.id, index);
        if (p.resource)
            m_idByIndex.insert(index, p.id);
    }

    const qint64 ms = timer.elapsed();
    qDebug() << "Model::setSystemDevices" << rows.size() << ms
             << (rows.isEmpty() ? 0.0 : double(ms) / rows.size());
}

QStandardItem* Model::makeGroupRow(const QString& name) const
{
    auto* item = new QStandardItem(name);
    item->setData(1, ExpanderRole);
    item->setData(GroupItem, ItemTypeRole);
    item->setColumnCount(1);
    return item;
}

QStandardItem* Model::makeDeviceRow(const DeviceHandle& handle, QVector<Pending>& pending) const
{
    auto* item = new QStandardItem;
    const Device::Ptr_t device = m_system ? m_system->device(handle.id) : Device::Ptr_t();
    if (!device)
        return item;
    const Device::Ptr_t owner = m_system->device(handle.owner);
    item->setData(device->displayName(owner ? owner->number() : 0), Qt::DisplayRole);
    item->setData(classColour(device->deviceClass()), Qt::ForegroundRole);
    item->setData(QSize(50, 28), Qt::SizeHintRole);
    item->setData(DeviceItem, ItemTypeRole);
    item->setData(device->resourceIds().size() == 2 ? 0 : 1, ExpanderRole);
    item->setData(device->id(), IdRole);
    item->setData(DeviceKind, KindRole);
    item->setData(device->deviceClass(), DeviceClassRole);
    addResourceRows(item, device, pending);
    pending.append({item, device->id(), false});
    return item;
}

void Model::addResourceRows(QStandardItem* deviceItem, const Device::Ptr_t& device,
                            QVector<Pending>& pending) const
{
    // The rows' roles are answered by data() from the resource: items left empty are quicker to
    // make and to drop, and a large system has thousands of them.
    deviceItem->setColumnCount(2);
    for (const NodeId_t& id : device->resourceIds()) {
        auto* label = new QStandardItem;
        deviceItem->appendRow({label, new QStandardItem});
        const IoResource::Ptr_t r = m_system->resource(id);
        if (r)
            pending.append({label, r->id(), true});
    }
}

void Model::reload()
{
    removeRows(0, rowCount());
    setSystemDevices(m_system ? m_system->deviceHandles() : QList<DeviceHandle>());
}

void Model::setMonitoring(bool on)
{
    if (!on && columnCount() > 1) {
        for (LiveTexts& texts : m_liveTexts) {
            texts.status.clear();
            texts.value.clear();
            texts.second.clear();
            texts.labelOnly = true;
        }
    }
    setColumnCount(on ? 2 : 1);
}

QVariant Model::liveText(const QModelIndex& index, int role) const
{
    if (index.column() > 1 || (index.column() == 0 && role != StatusRole))
        return QVariant();
    const auto id = m_idByIndex.constFind(index.column() == 0 ? index : index.sibling(index.row(), 0));
    if (id == m_idByIndex.cend())
        return QVariant();
    const auto texts = m_liveTexts.find(*id);
    if (texts == m_liveTexts.end())
        return QVariant();
    if (texts->due)
        readTexts(*id, *texts);
    if (index.column() == 0)
        return texts->labelStatus;
    if (texts->labelOnly)
        return QVariant();
    switch (role) {
    case StatusRole: return texts->status;
    case ValueRole: return texts->value;
    default: return texts->second;
    }
}

QVariant Model::data(const QModelIndex& index, int role) const
{
    if (role == StatusRole || role == ValueRole || role == SecondValueRole) {
        const QVariant text = liveText(index, role);
        if (text.isValid())
            return text;
    }
    if (index.column() == 1 && role == KindRole && m_system) {
        const auto it = m_idByIndex.constFind(index.sibling(index.row(), 0));
        const IoResource::Ptr_t r =
            it != m_idByIndex.cend() ? m_system->resource(*it) : IoResource::Ptr_t();
        if (r)
            return r->kind();
    }
    if (index.column() == 0 && m_system) {
        const auto it = m_idByIndex.constFind(index);
        const IoResource::Ptr_t r =
            it != m_idByIndex.cend() ? m_system->resource(*it) : IoResource::Ptr_t();
        if (r) {
            switch (role) {
            case Qt::DisplayRole: return r->valueText().value(0);
            case Qt::ForegroundRole: return kindColour(r->kind());
            case ItemTypeRole: return int(ResourceItem);
            case IdRole: return r->id();
            case KindRole: return r->kind();
            case NumberRole: return r->index();
            case CoupledRole: return r->isCoupled();
            case SecondaryRole: return r->isSecondary();
            case ExpanderRole: {
                // No expander, unless the view has marked a press on the row.
                const QVariant marked = QStandardItemModel::data(index, role);
                return marked.isValid() ? marked : QVariant(0);
            }
            default: break;
            }
        }
    }
    return QStandardItemModel::data(index, role);
}

void Model::readTexts(const NodeId_t& id, LiveTexts& live) const
{
    live.due = false;
    const IoResource::Ptr_t r = m_system ? m_system->resource(id) : IoResource::Ptr_t();
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
    Spans spans;
    for (const NodeId_t& id : ids) {
        const auto it = m_indexById.constFind(id);
        if (it == m_indexById.cend() || !m_idByIndex.contains(*it))
            continue;
        if (!m_system->resource(id))
            continue;
        QStandardItem* label = itemFromIndex(*it);
        QStandardItem* value =
            label && label->parent() ? label->parent()->child(label->row(), 1) : nullptr;
        if (!value)
            continue;
        LiveTexts& live = m_liveTexts[id];
        live.due = true;
        live.labelOnly = false;
        addToSpan(spans, label->parent(), label->row());
    }
    announce(spans, 1, {StatusRole, ValueRole, SecondValueRole});
}

void Model::addToSpan(Spans& spans, QStandardItem* parent, int row)
{
    const auto known = spans.slot.constFind(parent);
    if (known == spans.slot.cend()) {
        spans.slot.insert(parent, spans.runs.size());
        spans.runs.append({parent, {row, row}});
        return;
    }
    QPair<int, int>& run = spans.runs[*known].second;
    run = {qMin(run.first, row), qMax(run.second, row)};
}

void Model::announce(const Spans& spans, int lastColumn, const QVector<int>& roles)
{
    for (const auto& run : spans.runs) {
        const QModelIndex parent = run.first ? run.first->index() : QModelIndex();
        emit dataChanged(index(run.second.first, 0, parent),
                         index(run.second.second, lastColumn, parent), roles);
    }
}

void Model::refreshRows(const QList<NodeId_t>& ids)
{
    Spans spans;
    for (const NodeId_t& id : ids) {
        const auto it = m_indexById.constFind(id);
        if (it == m_indexById.cend() || !it->isValid())
            continue;
        if (QStandardItem* item = itemFromIndex(*it))
            addToSpan(spans, item->parent(), it->row());
    }
    announce(spans, 0, {});
}

QList<QModelIndex> Model::indexes(const QList<NodeId_t>& ids) const
{
    QList<QModelIndex> out;
    for (const NodeId_t& id : ids) {
        const auto it = m_indexById.constFind(id);
        if (it != m_indexById.cend() && it->isValid())
            out.append(*it);
    }
    return out;
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
