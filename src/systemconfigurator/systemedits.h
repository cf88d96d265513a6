#pragma once

#include "model/abstractconfig.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"

#include <QMap>
#include <QModelIndexList>

class QUndoCommand;
class SystemModel;

namespace SystemConfiguration {

class Model;

// The undo commands of the system page's context-menu edits and of its serial-port editor, built
// from the selected tree rows within the system's limits. Each returns a new command for the
// caller to hand on, or null when the selection names nothing to change.
namespace SystemEdits {

// Puts the selection's controllers, each with all its modules, into a new group "Group n".
QUndoCommand* addGroup(const Model& tree, const QModelIndexList& rows, SystemModel* system);
QUndoCommand* changeType(const Model& tree, const QModelIndexList& rows, DeviceType_t type,
                         HardwareVersion revision, SystemModel* system);
// Clones the selected controllers, each followed by the selected modules after it in the
// selection, behind the last controller of the bus.
QUndoCommand* duplicate(const Model& tree, const QModelIndexList& rows, SystemModel* system);
// A controller goes with all its modules.
QUndoCommand* removeDevices(const Model& tree, const QModelIndexList& rows, SystemModel* system);
// Dissolves the selected groups; their devices stay.
QUndoCommand* removeGroups(const Model& tree, const QModelIndexList& rows, SystemModel* system);
QUndoCommand* removeGroupsAndDevices(const Model& tree, const QModelIndexList& rows,
                                     SystemModel* system);
QUndoCommand* changeSerialPorts(const QMap<IoResource::Ptr_t, AbstractConfig>& changes,
                                SystemModel* system);

// The number the next new group gets. It counts for the whole process and is never reset, so a
// name is not reused while the program runs.
int nextGroupNumber();
// The name a new group gets, "Group <number>"; it is stored as the user's own names are.
QString defaultGroupName(int number);
// The number in a name made by defaultGroupName; 0 for any other name.
int defaultGroupNumber(const QString& name);
// A group's name as the screens show it: a default name in the interface's language ("Группа 3"
// for "Group 3"), any other name as the user wrote it.
QString groupDisplayName(const QString& name);

} // namespace SystemEdits

} // namespace SystemConfiguration
