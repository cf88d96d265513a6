#include "systemconfigurator/systemedits.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "resourceconfigurator/changeresource.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "systemconfigurator/changegroup.h"
#include "systemconfigurator/changetype.h"
#include "systemconfigurator/duplicatedevice.h"
#include "systemconfigurator/removedevice.h"
#include "systemconfigurator/selectioncontrollers.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemlimits.h"
#include "systemconfigurator/treerole.h"

#include <QCoreApplication>
#include <QSet>
#include <QUuid>

namespace SystemConfiguration {
namespace SystemEdits {

namespace {

int groupCounter = 1;

// The device and, for a controller, every module on its bus, in bus order; ids already taken
// are left out.
void appendWithModules(const Model& tree, const DeviceHandle& handle, QSet<NodeId_t>& taken,
                       QList<DeviceHandle>& out)
{
    if (handle.id.isNull() || taken.contains(handle.id))
        return;
    taken.insert(handle.id);
    out.append(handle);
    if (!handle.owner.isNull())
        return;
    for (const DeviceHandle& module : tree.devices()) {
        if (module.owner == handle.id && !taken.contains(module.id)) {
            taken.insert(module.id);
            out.append(module);
        }
    }
}

// The devices directly under the given group rows, other rows ignored.
QList<DeviceHandle> groupMembers(const Model& tree, const QModelIndexList& rows)
{
    QList<DeviceHandle> members;
    for (const QModelIndex& row : rows) {
        if (row.data(KindRole).toInt() != GroupKind)
            continue;
        for (int i = 0; i < tree.rowCount(row); ++i) {
            const DeviceHandle h = tree.handleAt(tree.index(i, 0, row));
            if (!h.id.isNull())
                members.append(h);
        }
    }
    return members;
}

QUndoCommand* removeWithModules(const Model& tree, const QList<DeviceHandle>& handles,
                                SystemModel* system)
{
    // A module left behind by its controller would stay in the system, unseen in the tree but
    // still saved into the configuration file.
    QList<DeviceHandle> removed;
    QSet<NodeId_t> taken;
    for (const DeviceHandle& h : handles)
        appendWithModules(tree, h, taken, removed);
    return removed.isEmpty() ? nullptr : new RemoveDevice(removed, system);
}

bool templateOf(const DeviceHandle& h, DeviceTemplate* tpl)
{
    return SettingsProvider::instance().deviceTemplate(h.type, h.revision, tpl, false);
}

// The clone sources: controllers, and modules met after a controller in the selection.
QList<DeviceHandle> cloneSources(const Model& tree, const QModelIndexList& rows, int* boards)
{
    QList<DeviceHandle> sources;
    bool controllerSeen = false;
    for (const QModelIndex& row : rows) {
        const DeviceHandle h = tree.handleAt(row);
        if (h.id.isNull() || (!h.owner.isNull() && !controllerSeen))
            continue;
        controllerSeen |= h.owner.isNull();
        DeviceTemplate tpl;
        if (templateOf(h, &tpl)) {
            sources.append(h);
            *boards += BrandRules::boardsOf(tpl);
        }
    }
    return sources;
}

DeviceHandle cloneOf(const DeviceHandle& source)
{
    DeviceHandle clone;
    clone.type = source.type;
    clone.revision = source.revision;
    clone.id = QUuid::createUuid();
    return clone;
}

} // namespace

int nextGroupNumber()
{
    return groupCounter++;
}

QString defaultGroupName(int number)
{
    return QStringLiteral("Group %1").arg(number);
}

int defaultGroupNumber(const QString& name)
{
    const QString prefix = defaultGroupName(0).chopped(1);
    if (!name.startsWith(prefix))
        return 0;
    bool ok = false;
    const int number = name.mid(prefix.size()).toInt(&ok);
    return ok && number > 0 && defaultGroupName(number) == name ? number : 0;
}

QString groupDisplayName(const QString& name)
{
    const int number = defaultGroupNumber(name);
    if (number <= 0)
        return name;
    return QCoreApplication::translate("InformationStyled", "Группа") + QLatin1Char(' ')
           + QString::number(number);
}

QUndoCommand* addGroup(const Model& tree, const QModelIndexList& rows, SystemModel* system)
{
    const QString name = defaultGroupName(nextGroupNumber());
    QList<DeviceHandle> handles;
    QSet<NodeId_t> taken;
    for (const NodeId_t& id : selectionControllers(tree, rows))
        appendWithModules(tree, tree.handleById(id), taken, handles);
    if (handles.isEmpty())
        return nullptr;
    for (DeviceHandle& h : handles)
        h.group = name;
    return new ChangeGroup(handles, system);
}

QUndoCommand* changeType(const Model& tree, const QModelIndexList& rows, DeviceType_t type,
                         HardwareVersion revision, SystemModel* system)
{
    QList<DeviceHandle> before;
    QList<DeviceHandle> after;
    for (const QModelIndex& row : rows) {
        DeviceHandle h = tree.handleAt(row);
        if (h.id.isNull())
            continue;
        before.append(h);
        h.type = type;
        h.revision = revision;
        after.append(h);
    }
    return before.isEmpty() ? nullptr : new ChangeType(before, after, system);
}

QUndoCommand* duplicate(const Model& tree, const QModelIndexList& rows, SystemModel* system)
{
    int boardSum = 0;
    const QList<DeviceHandle> sources = cloneSources(tree, rows, &boardSum);
    int count = sources.size();
    const int freeBoards = SystemLimits::BoardBudget - tree.boardsInUse();
    const int present = tree.devices().size();
    if (BrandRules::limitsByBoards())
        boardSum = qMin(boardSum, freeBoards);
    else if (BrandRules::limitsByAddresses()
             && count + present - 1 > SystemLimits::AddAllowedBelow)
        count = SystemLimits::AddressCount - present;

    QList<DeviceHandle> clones;
    int nextController = tree.moduleCount().size();
    int nextModule = 1;
    NodeId_t cloneController;
    int boardsAdded = 0;
    for (int i = 0; i < count && boardSum > 0 && boardsAdded < boardSum; ++i) {
        const DeviceHandle& source = sources.at(i);
        DeviceTemplate tpl;
        if (!templateOf(source, &tpl))
            continue;
        // A clone whose boards no longer fit would take the system past its board budget.
        if (BrandRules::limitsByBoards() && boardsAdded + BrandRules::boardsOf(tpl) > freeBoards)
            break;
        DeviceHandle clone = cloneOf(source);
        if (source.owner.isNull()) {
            clone.number = nextController++;
            nextModule = 1;
            cloneController = clone.id;
        } else {
            clone.owner = cloneController;
            clone.number = nextModule++;
        }
        clones.append(clone);
        boardsAdded += BrandRules::boardsOf(tpl);
    }
    return new DuplicateDevice(sources, clones, system);
}

QUndoCommand* removeDevices(const Model& tree, const QModelIndexList& rows, SystemModel* system)
{
    QList<DeviceHandle> handles;
    for (const QModelIndex& row : rows)
        handles.append(tree.handleAt(row));
    return removeWithModules(tree, handles, system);
}

QUndoCommand* removeGroups(const Model& tree, const QModelIndexList& rows, SystemModel* system)
{
    QList<DeviceHandle> members = groupMembers(tree, rows);
    if (members.isEmpty())
        return nullptr;
    for (DeviceHandle& h : members)
        h.group.clear();
    return new ChangeGroup(members, system);
}

QUndoCommand* removeGroupsAndDevices(const Model& tree, const QModelIndexList& rows,
                                     SystemModel* system)
{
    return removeWithModules(tree, groupMembers(tree, rows), system);
}

QUndoCommand* changeSerialPorts(const QMap<IoResource::Ptr_t, AbstractConfig>& changes,
                                SystemModel* system)
{
    QMap<NodeId_t, AbstractConfig> configs;
    QMap<NodeId_t, AbstractConfig> current;
    collectResourceConfigs(changes, &configs, &current);
    auto* command = new Tre::ChangeResource(system);
    command->setNewConfigs(configs);
    command->setOldConfigs(current);
    return command;
}

} // namespace SystemEdits
} // namespace SystemConfiguration
