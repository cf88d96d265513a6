#pragma once

#include "model/devicehandle.h"

#include <QList>
#include <QUndoCommand>

class SystemModel;

// Gives the devices the handles name the handles' group texts. Undo restores the groups of every
// device of the system as they were at construction, also of devices the redo did not touch.
class ChangeGroup : public QUndoCommand
{
public:
    ChangeGroup(const QList<DeviceHandle>& handles, SystemModel* model, QUndoCommand* parent = nullptr);
    ~ChangeGroup() override;

    void undo() override;
    void redo() override;

private:
    SystemModel* model;
    QList<DeviceHandle> handles;
    QList<DeviceHandle> before;
};
