#include "systemconfigurator/changegroup.h"

#include "model/systemmodel.h"

ChangeGroup::ChangeGroup(const QList<DeviceHandle>& handles, SystemModel* model,
                         QUndoCommand* parent)
    : QUndoCommand(parent)
    , model(model)
    , handles(handles)
    , before(model->deviceHandles())
{
}

ChangeGroup::~ChangeGroup() = default;

void ChangeGroup::redo()
{
    if (handles.isEmpty())
        return;
    model->changeGroup(handles);
    model->systemUpdated();
}

void ChangeGroup::undo()
{
    if (before.isEmpty())
        return;
    model->changeGroup(before);
    model->systemUpdated();
}
