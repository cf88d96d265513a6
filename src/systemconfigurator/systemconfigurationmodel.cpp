#include "systemconfigurator/systemconfigurationmodel.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "model/systemmodel.h"
#include "systemconfigurator/treerole.h"

#include <QHash>
#include <QSet>
#include <QStandardItem>

namespace SystemConfiguration {

namespace {

bool isControllerClass(int deviceClass)
{
    return deviceClass == Device::PlcClass || deviceClass == Device::TavClass;
}

} // namespace

Model::Model(QObject* parent)
    : QStandardItemModel(0, 1, parent)
{
    addPlaceholderRow(0, 0);
}

void Model::rebuild(const QList<DeviceHandle>& list)
{
    removeRows(0, rowCount());
    m_devices = list;
    m_positionOfId.clear();
    // Backwards, so that of two handles with one id the first is the one found.
    for (int i = list.size() - 1; i >= 0; --i)
        m_positionOfId.insert(list.at(i).id, i);
    m_rowOfDevice.clear();
    m_groupRows.clear();
    m_rowOfPath.clear();
    m_boardsInUse = 0;
    countModules();

    addRows(buildRows());
    mapPathRows();

    const QModelIndex last = m_rowOfDevice.value(lastControllerId());
    if (canAdd())
        addPlaceholderRow(last.data(PowerReserveRole).toInt(), last.data(PowerBalanceRole).toInt());

    emit systemReset(m_devices);
    emit detectedGroups(!m_groupRows.isEmpty());
}

Model::BuiltRows Model::buildRows()
{
    // Rows are built in bus order, so a module row carries the number of the controller row built
    // before it; a group takes its row where its name first appears and holds every device of that
    // name, wherever the name comes back on the bus.
    const SettingsProvider& catalogue = SettingsProvider::instance();
    BuiltRows built;
    QHash<QString, QStandardItem*> groups;
    QSet<NodeId_t> written;
    for (const DeviceHandle& handle : qAsConst(m_devices)) {
        DeviceTemplate tpl;
        if (!catalogue.deviceTemplate(handle.type, handle.revision, &tpl, true))
            continue;
        m_boardsInUse += BrandRules::boardsOf(tpl);
        QStandardItem* item = deviceItem(handle, tpl);
        built.devices.append(qMakePair(item, handle.id));
        if (!handle.owner.isNull() && written.contains(handle.owner))
            built.owned.append(qMakePair(item, handle.owner));
        written.insert(handle.id);
        if (handle.group.isEmpty()) {
            built.top.append(item);
            continue;
        }
        QStandardItem*& group = groups[handle.group];
        if (!group) {
            group = groupItem(handle.group);
            built.top.append(group);
        }
        built.members[group].append(item);
    }
    for (QList<QStandardItem*>& children : built.members) {
        auto* spacer = new QStandardItem;
        spacer->setData(1, GroupEndRole);
        spacer->setData(0, AddRowRole);
        children.append(spacer);
    }
    return built;
}

void Model::addRows(const BuiltRows& built)
{
    // One insertion for the top level and one per group (children given to an item before it
    // joins the model would not learn the model); only the links to owner rows need the rows in
    // place.
    invisibleRootItem()->appendRows(built.top);
    setColumnCount(1);
    for (auto it = built.members.cbegin(); it != built.members.cend(); ++it)
        it.key()->appendRows(it.value());
    for (const auto& row : built.devices)
        m_rowOfDevice.insert(row.second, row.first->index());
    for (QStandardItem* item : built.top) {
        if (item->data(GroupRowRole).toInt() == 1)
            m_groupRows.insert(item->index(), item->text());
    }
    for (const auto& row : built.owned)
        row.first->setData(m_rowOfDevice.value(row.second), OwnerIndexRole);
}

void Model::countModules()
{
    m_moduleCount.clear();
    m_modulesOf.clear();
    for (const DeviceHandle& h : qAsConst(m_devices)) {
        if (h.owner.isNull())
            m_moduleCount.insert(h.id, 0);
    }
    for (const DeviceHandle& h : qAsConst(m_devices)) {
        if (h.owner.isNull())
            continue;
        m_modulesOf.insert(h.owner, h.id);
        ++m_moduleCount[h.owner];
    }
}

QStandardItem* Model::groupItem(const QString& name) const
{
    auto* item = new QStandardItem;
    item->setData(1, GroupRowRole);
    item->setData(name, Qt::DisplayRole);
    item->setData(GroupKind, KindRole);
    item->setData(0, AddRowRole);
    item->setColumnCount(1);
    return item;
}

QStandardItem* Model::deviceItem(const DeviceHandle& handle, const DeviceTemplate& tpl)
{
    const bool controller = isControllerClass(tpl.deviceClass);
    int reserve = 0;
    if (controller) {
        m_lastControllerNumber = handle.number;
        reserve = busPowerReserve(handle.id);
    }
    auto* item = new QStandardItem;
    item->setData(rowText(handle, tpl, controller), Qt::DisplayRole);
    item->setData(tpl.deviceClass, KindRole);
    item->setData(uint(handle.type), TypeRole);
    item->setData(int(handle.revision), RevisionRole);
    item->setData(BrandRules::boardsOf(tpl), BoardCountRole);
    item->setData(1, EditButtonRole);
    item->setData(1, CloseButtonRole);
    item->setData(0, AddRowRole);
    item->setData(handle.id, IdRole);
    item->setData(handle.owner, OwnerRole);
    item->setData(m_moduleCount.value(handle.id, 0), ModuleCountRole);
    item->setData(QModelIndex(), OwnerIndexRole);
    item->setData(reserve, PowerReserveRole);
    item->setData(tpl.preq, PowerRequiredRole);
    item->setData(tpl.pgen - tpl.preq, PowerBalanceRole);
    return item;
}

QString Model::rowText(const DeviceHandle& handle, const DeviceTemplate& tpl, bool controller) const
{
    if (controller && handle.number == 0)
        return tpl.name;
    if (controller || m_lastControllerNumber < 0)
        return QStringLiteral("%1.%2").arg(handle.number).arg(tpl.name);
    return QStringLiteral("%1.%2.%3").arg(m_lastControllerNumber).arg(handle.number).arg(tpl.name);
}

void Model::mapPathRows()
{
    const QMap<QString, DeviceHandle> paths = SystemModel::nodePath(m_devices);
    for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
        const QModelIndex row = m_rowOfDevice.value(it.value().id);
        if (row.isValid())
            m_rowOfPath.insert(it.key(), row);
    }
}

void Model::addPlaceholderRow(int reserve, int balance)
{
    auto* item = new QStandardItem;
    item->setData(tr("Выберите устройство"), Qt::DisplayRole);
    const int onlyRowKind = BrandRules::firstDeviceClass();
    item->setData(rowCount() == 0 ? onlyRowKind : NoDeviceKind, KindRole);
    item->setData(1, AddRowRole);
    item->setData(reserve, PowerReserveRole);
    item->setData(balance, PowerBalanceRole);
    appendRow(item);
}

int Model::busPowerReserve(const NodeId_t& id) const
{
    if (id.isNull())
        return 0;
    const SettingsProvider& catalogue = SettingsProvider::instance();
    const DeviceHandle handle = handleById(id);
    DeviceTemplate tpl;
    if (!catalogue.deviceTemplate(handle.type, handle.revision, &tpl, false))
        return 0;
    int reserve = tpl.pgen - tpl.preq;
    for (auto it = m_modulesOf.constFind(id); it != m_modulesOf.cend() && it.key() == id; ++it) {
        const DeviceHandle module = handleById(it.value());
        DeviceTemplate moduleTpl;
        if (catalogue.deviceTemplate(module.type, module.revision, &moduleTpl, false))
            reserve -= moduleTpl.preq;
    }
    return reserve;
}

void Model::setRowButtons()
{
    // Back to how a rebuild leaves them: every device row, at either level, shows both buttons.
    const auto restore = [](QStandardItem* row) {
        if (row && !row->data(IdRole).toUuid().isNull()) {
            row->setData(1, EditButtonRole);
            row->setData(1, CloseButtonRole);
        }
    };
    for (int row = 0; row < rowCount(); ++row) {
        QStandardItem* top = item(row);
        restore(top);
        for (int i = 0; top && i < top->rowCount(); ++i)
            restore(top->child(i));
    }
}

QList<NodeId_t> Model::idsOf(const QModelIndexList& rows) const
{
    QList<NodeId_t> ids;
    for (const QModelIndex& row : rows) {
        const NodeId_t id = row.data(IdRole).toUuid();
        if (!id.isNull())
            ids.append(id);
    }
    return ids;
}

} // namespace SystemConfiguration
