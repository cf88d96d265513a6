#pragma once

#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"

#include <QList>
#include <QMap>
#include <QUndoCommand>

class SystemModel;

// Removes the devices the handles name and renumbers the bus. The removed objects live on in the
// command; undo puts them back and restores every number, owner and module list from the bus
// order taken at construction.
class RemoveDevice : public QUndoCommand
{
public:
    RemoveDevice(const QList<DeviceHandle>& handles, SystemModel* model, QUndoCommand* parent = nullptr);
    ~RemoveDevice() override;

    void undo() override;
    void redo() override;

private:
    SystemModel* model;
    QList<DeviceHandle> handles;
    QList<Device::Ptr_t> removed;
    QMap<NodeId_t, QList<IoResource::Ptr_t>> resources;
    QList<DeviceHandle> busBefore;
};
