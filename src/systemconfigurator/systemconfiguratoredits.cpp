// The system page's edits: every one ends in exactly one undo command, and the ones started from
// the context menu are worked out from what the selection allows.
#include "systemconfigurator/systemconfigurator.h"

#include "systemconfigurator/adddevice.h"
#include "systemconfigurator/changegroup.h"
#include "systemconfigurator/changetype.h"
#include "systemconfigurator/contextmenu.h"
#include "systemconfigurator/movebus.h"
#include "systemconfigurator/removedevice.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemedits.h"
#include "systemconfigurator/treerole.h"
#include "widgets/stylesource.h"

using namespace SystemConfiguration;

void SystemConfigurator::issue(QUndoCommand* command, bool hover)
{
    if (command)
        emit changeSystem(command);
    if (hover)
        refreshHover();
}

void SystemConfigurator::onAdd(const QList<DeviceHandle>& handles)
{
    issue(new AddDevice(handles, system), true);
}

void SystemConfigurator::onRemove(const QList<DeviceHandle>& handles)
{
    issue(new RemoveDevice(handles, system), true);
}

void SystemConfigurator::onEdit(const DeviceHandle& before, const DeviceHandle& after)
{
    issue(new ::ChangeType({before}, {after}, system), true);
}

void SystemConfigurator::onBusMove(const QList<DeviceHandle>& order)
{
    issue(new MoveBus(order, system), true);
}

void SystemConfigurator::onRenameGroup(const QList<DeviceHandle>& handles)
{
    issue(new ChangeGroup(handles, system), true);
}

void SystemConfigurator::onRemoveDevices(const QModelIndexList& rows)
{
    issue(SystemEdits::removeDevices(*tree, rows, system), true);
}

void SystemConfigurator::onRemoveGroups(const QModelIndexList& rows)
{
    issue(SystemEdits::removeGroups(*tree, rows, system), true);
}

void SystemConfigurator::onRemoveGroupsAndDevices(const QModelIndexList& rows)
{
    issue(SystemEdits::removeGroupsAndDevices(*tree, rows, system), true);
}

void SystemConfigurator::onAddGroup(const QModelIndexList& rows)
{
    if (!rows.isEmpty())
        issue(SystemEdits::addGroup(*tree, rows, system), true);
}

void SystemConfigurator::onChangeType(const QModelIndexList& rows, DeviceType_t type,
                                      HardwareVersion revision)
{
    issue(SystemEdits::changeType(*tree, rows, type, revision, system), false);
}

void SystemConfigurator::onDuplicateDevices(const QModelIndexList& rows)
{
    issue(SystemEdits::duplicate(*tree, rows, system), true);
}

void SystemConfigurator::onSystemResourceChanging(
    const QMap<IoResource::Ptr_t, AbstractConfig>& changes)
{
    issue(SystemEdits::changeSerialPorts(changes, system), false);
}

void SystemConfigurator::onContextMenuRequested(const QPoint& pos)
{
    const QModelIndex index = treeView->indexAt(pos);
    if (!index.isValid() || index.data(AddRowRole).toInt() == 1)
        return;
    const QRect rect = treeView->visualRect(index);
    const QPoint global = treeView->viewport()->mapToGlobal(QPoint(rect.left() + 2,
                                                                   rect.bottom() + 2));
    const QModelIndexList rows = selectedRows();
    // Persistent: the menu runs its own event loop, and what happens meanwhile may rebuild the
    // tree.
    const QPersistentModelIndex clickedGroup(
        tree->groupRows().value(index).isEmpty() ? QModelIndex() : index);
    const ContextMenu::Options options =
        ContextMenu::Options::compute(*tree, rows, clickedGroup, *treeView);
    saved.clear();
    for (const QModelIndex& row : rows)
        saved.append(row.row());

    ContextMenu menu(options);
    const QMetaObject::Connection preview =
        connect(&menu, &ContextMenu::devEntered, this, &SystemConfigurator::onDeviceEntered);
    applyMenuStyle(&menu);
    QAction* triggered = menuRunner(menu, global);
    const int code = menu.chosenAction(triggered);
    disconnect(preview);
    dispatch(code, selectedRows(), clickedGroup, menu.chosenType(), menu.chosenRevision());
}

void SystemConfigurator::dispatch(int code, const QModelIndexList& rows,
                                  const QModelIndex& clickedGroup, DeviceType_t type,
                                  HardwareVersion revision)
{
    switch (code) {
    case ContextMenu::CreateGroup:
        onAddGroup(rows);
        treeView->selectionModel()->clear();
        break;
    case ContextMenu::AddModule:
        if (!rows.isEmpty())
            tree->addPexToDevice(rows.last(), type, revision);
        break;
    case ContextMenu::DeleteDevices:
        onRemoveDevices(rows);
        treeView->selectionModel()->clear();
        saved.clear();
        break;
    case ContextMenu::CloneDevices: onDuplicateDevices(rows); break;
    case ContextMenu::DeleteGroups: onRemoveGroups(rows); break;
    case ContextMenu::DeleteGroupsAndDevices: onRemoveGroupsAndDevices(rows); break;
    case ContextMenu::ChangeType: onChangeType(rows, type, revision); break;
    case ContextMenu::ExpandAll: treeView->expandAll(); break;
    case ContextMenu::CollapseAll: treeView->collapseAll(); break;
    case ContextMenu::CollapseOthers: treeView->collapseOther(clickedGroup); break;
    default: break;
    }
}
