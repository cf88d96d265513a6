// The rules of the system tree that decide how many devices may still be added, where a dragged
// row may be dropped and where it then lands on the bus, which group it joins, and how numbers and
// owners follow from the order.
#include "systemconfigurator/systemconfigurationmodel.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemlimits.h"
#include "systemconfigurator/treerole.h"

#include <QDebug>

namespace SystemConfiguration {

int Model::freeAddressCount() const
{
    return SystemLimits::AddressCount - m_devices.size();
}

bool Model::canAdd() const
{
    if (BrandRules::limitsByAddresses())
        return m_devices.size() < SystemLimits::AddAllowedBelow;
    return SystemLimits::BoardBudget - m_boardsInUse >= 1;
}

int Model::addableCount(int n, const DeviceTemplate& type) const
{
    if (BrandRules::limitsByAddresses()) {
        const int present = m_devices.size();
        return present + n - 1 > SystemLimits::AddAllowedBelow ? SystemLimits::AddressCount - present
                                                                : n;
    }
    // A type without I/O boards takes nothing of the board budget.
    const int boards = BrandRules::boardsOf(type);
    if (boards == 0)
        return n;
    return qMin(n * boards, SystemLimits::BoardBudget - m_boardsInUse) / boards;
}

DeviceHandle Model::handleById(const NodeId_t& id) const
{
    const auto it = m_positionOfId.constFind(id);
    return it == m_positionOfId.cend() ? DeviceHandle() : m_devices.at(it.value());
}

DeviceHandle Model::handleAt(const QModelIndex& row) const
{
    const NodeId_t id = row.data(IdRole).toUuid();
    return id.isNull() ? DeviceHandle() : handleById(id);
}

DeviceHandle Model::findHandle(const QList<DeviceHandle>& list, const NodeId_t& id)
{
    for (const DeviceHandle& h : list) {
        if (h.id == id)
            return h;
    }
    return DeviceHandle();
}

NodeId_t Model::lastControllerId() const
{
    for (int i = m_devices.size() - 1; i >= 0; --i) {
        if (m_devices.at(i).owner.isNull())
            return m_devices.at(i).id;
    }
    return NodeId_t();
}

NodeId_t Model::previousControllerId(const NodeId_t& id) const
{
    NodeId_t previous;
    for (const DeviceHandle& h : m_devices) {
        if (!h.owner.isNull())
            continue;
        if (h.id == id)
            return previous;
        previous = h.id;
    }
    return NodeId_t();
}

QList<DeviceHandle> Model::withModules(const DeviceHandle& handle) const
{
    QList<DeviceHandle> moved{handle};
    const auto it = m_positionOfId.constFind(handle.id);
    if (it == m_positionOfId.cend())
        return moved;
    for (int i = it.value() + 1; i < m_devices.size() && m_devices.at(i).owner == handle.id; ++i)
        moved.append(m_devices.at(i));
    return moved;
}

void Model::renumberBus(QList<DeviceHandle>& list)
{
    int controllers = 0;
    int modules = 0;
    NodeId_t controller;
    for (DeviceHandle& h : list) {
        if (h.owner.isNull()) {
            controller = h.id;
            h.number = controllers++;
            modules = 1;
        } else {
            h.number = modules++;
            h.owner = controller;
        }
    }
}

void Model::startMove(const QModelIndex& source)
{
    if (!source.isValid())
        return;
    qDebug() << "Drag started:" << m_dropTarget.row() << source.row();
    m_dragSource = source;
    setData(source, 1, DragSourceRole);
}

void Model::moveDest(const QModelIndex& target)
{
    clearMarker(m_dropTarget, DropTargetRole);
    if (!target.isValid())
        return;
    m_dropTarget = target;
    setData(target, 1, DropTargetRole);
}

void Model::finishMove(const QModelIndex& source, const QModelIndex& target)
{
    clearMarker(m_dragSource, DragSourceRole);
    clearMarker(m_dropTarget, DropTargetRole);
    if (source.isValid() && target.isValid())
        newBusOrder(source, target);
}

void Model::clearMarker(QPersistentModelIndex& marker, int role)
{
    if (marker.isValid())
        setData(marker, 0, role);
    marker = QPersistentModelIndex();
}

bool View::canMoveTo(const QModelIndex& source, const QModelIndex& target)
{
    const int sourceKind = source.data(KindRole).toInt();
    const int targetKind = target.data(KindRole).toInt();
    // A controller cannot take the place of a PLC that has modules of its own.
    if (targetKind == Device::PlcClass && sourceKind == Device::TavClass
        && target.data(ModuleCountRole).toInt() > 0)
        return false;
    if (sourceKind == Device::PexClass && targetKind == Device::PexClass
        && source.data(OwnerRole).toUuid() == target.data(OwnerRole).toUuid())
        return true;
    // A module joining another bus must fit in that controller's power reserve.
    const QModelIndex owner = target.data(OwnerIndexRole).toModelIndex();
    const int reserve = owner.isValid() ? owner.data(PowerReserveRole).toInt() : 0;
    if (sourceKind == Device::PexClass && reserve < source.data(PowerRequiredRole).toInt())
        return false;
    const QModelIndex next = target.sibling(target.row() + 1, target.column());
    if (!next.isValid() || next.data(AddRowRole).toInt() != 0)
        return true;
    // A controller put in front of a module would take that module onto its own bus.
    const int nextKind = next.data(KindRole).toInt();
    return !(sourceKind == Device::TavClass
             && (nextKind == Device::PlcClass || nextKind == Device::PexClass));
}

void Model::newBusOrder(const QModelIndex& source, const QModelIndex& target)
{
    const NodeId_t sourceId = source.data(IdRole).toUuid();
    NodeId_t targetId = target.data(IdRole).toUuid();
    QString group;
    bool onto = true;
    if (target.data(GroupEndRole).toInt() == 1) {
        // The spacer closing a group: the drop goes behind the group's last device.
        targetId = target.sibling(target.row() - 1, 0).data(IdRole).toUuid();
        onto = false;
    } else if (target.data(KindRole).toInt() == GroupKind) {
        group = target.data(Qt::DisplayRole).toString();
        targetId = previousControllerId(index(0, 0, target).data(IdRole).toUuid());
    }
    if (sourceId == targetId)
        return;
    const DeviceHandle sourceHandle = findHandle(m_devices, sourceId);
    const DeviceHandle targetHandle = findHandle(m_devices, targetId);
    if (sourceHandle.id.isNull() || targetHandle.id.isNull())
        return;
    // A controller cannot be put behind one of the modules that move with it.
    if (!findHandle(withModules(sourceHandle), targetId).id.isNull())
        return;
    QList<DeviceHandle> order = reorderedHandles(targetHandle, sourceHandle, group, onto);
    renumberBus(order);
    emit busMove(order);
}

QList<DeviceHandle> Model::reorderedHandles(const DeviceHandle& target, const DeviceHandle& source,
                                            const QString& group, bool onto) const
{
    const QList<DeviceHandle> moved = withModules(source);
    QList<DeviceHandle> result = m_devices;
    for (const DeviceHandle& m : moved) {
        for (int i = 0; i < result.size(); ++i) {
            if (result.at(i).id == m.id) {
                result.removeAt(i);
                break;
            }
        }
    }
    int p = 0;
    while (p < result.size() && result.at(p).id != target.id)
        ++p;

    QString newGroup;
    if (!group.isEmpty())
        newGroup = group;
    else if (p + 1 < result.size() && result.at(p + 1).group == target.group)
        newGroup = target.group;
    else if (onto)
        newGroup = target.group;
    for (int i = 0; i < moved.size(); ++i) {
        DeviceHandle h = moved.at(i);
        h.group = newGroup;
        result.insert(p + 1 + i, h);
    }

    // A group of one is no group: every single-member group of the system is dissolved.
    QHash<QString, int> members;
    for (const DeviceHandle& h : qAsConst(result))
        ++members[h.group];
    for (DeviceHandle& h : result) {
        if (members.value(h.group) == 1)
            h.group.clear();
    }
    return result;
}

} // namespace SystemConfiguration
