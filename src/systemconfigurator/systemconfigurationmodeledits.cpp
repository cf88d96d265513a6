// Edits that start in the tree: each becomes a signal carrying handles, never a change of the
// system itself.
#include "systemconfigurator/systemconfigurationmodel.h"

#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "model/systemmodel.h"
#include "systemconfigurator/treerole.h"

namespace SystemConfiguration {

void Model::removeRow(const QModelIndex& row)
{
    if (row.data(KindRole).toInt() == GroupKind) {
        renameGroup(row, QString());
        return;
    }
    // A row without an id (a group's closing spacer, the add row) names nothing to remove; taken
    // as the null id it would match every controller of the system.
    const NodeId_t id = row.data(IdRole).toUuid();
    if (id.isNull())
        return;
    QList<DeviceHandle> removed;
    for (const DeviceHandle& h : qAsConst(m_devices)) {
        if (h.owner == id || h.id == id)
            removed.append(h);
    }
    if (!removed.isEmpty())
        emit removeDev(removed);
}

void Model::renameGroup(const QModelIndex& group, const QString& name)
{
    if (!group.isValid() && name.isEmpty())
        return;
    setData(group, name, Qt::DisplayRole);
    QList<DeviceHandle> members;
    for (int i = 0; i < rowCount(group); ++i) {
        DeviceHandle h = handleAt(index(i, 0, group));
        if (h.id.isNull())
            continue;
        h.group = name;
        members.append(h);
    }
    if (!members.isEmpty())
        emit renameGroup(members);
}

void Model::changeType(const QModelIndex& row, DeviceType_t type, HardwareVersion revision)
{
    const DeviceHandle before = handleAt(row);
    if (before.id.isNull() || (before.type == type && before.revision == revision))
        return;
    DeviceHandle after = before;
    after.type = type;
    after.revision = revision;
    emit editType(before, after);
}

void Model::addDevices(const QModelIndex& row, DeviceType_t type, HardwareVersion revision, int count)
{
    DeviceTemplate tpl;
    if (!SettingsProvider::instance().deviceTemplate(type, revision, &tpl, false))
        return;
    NodeId_t owner;
    QString group;
    int first = m_moduleCount.size();
    // A module added below the last row goes onto the bus of the last controller.
    if (row.row() >= 1 && tpl.deviceClass == Device::PexClass && !m_devices.isEmpty()) {
        const DeviceHandle& last = m_devices.last();
        owner = last.owner.isNull() ? last.id : last.owner;
        first = m_moduleCount.value(owner, 0) + 1;
        group = handleById(owner).group;
    }
    QList<DeviceHandle> added;
    const int n = addableCount(count, tpl);
    for (int i = 0; i < n; ++i) {
        DeviceHandle h;
        h.type = type;
        h.revision = revision;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = first + i;
        h.group = group;
        added.append(h);
    }
    emit addDev(added);
}

void Model::addPexToDevice(const QModelIndex& row, DeviceType_t type, HardwareVersion revision)
{
    if (!row.isValid())
        return;
    const NodeId_t controller = row.data(KindRole).toInt() == Device::PexClass
                                    ? row.data(OwnerRole).toUuid()
                                    : row.data(IdRole).toUuid();
    if (controller.isNull())
        return;
    DeviceHandle h;
    h.type = type;
    h.revision = revision;
    h.id = SystemModel::newNodeId();
    h.owner = controller;
    h.number = m_moduleCount.value(controller, 0) + 1;
    h.group = handleById(controller).group;
    emit addDev({h});
}

} // namespace SystemConfiguration
