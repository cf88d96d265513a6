#pragma once

#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"

#include <QList>
#include <QMap>
#include <QUndoCommand>

class SystemModel;

// Adds the devices the handles name. The device and resource objects are made in the first redo
// only; undo takes them out and keeps them, so every later redo puts the very same objects, with
// whatever settings they were given meanwhile, back.
class AddDevice : public QUndoCommand
{
public:
    AddDevice(const QList<DeviceHandle>& handles, SystemModel* model, QUndoCommand* parent = nullptr);
    ~AddDevice() override;

    void undo() override;
    void redo() override;

private:
    SystemModel* model;
    QList<DeviceHandle> handles;
    QList<Device::Ptr_t> added;
    QMap<NodeId_t, QList<IoResource::Ptr_t>> resources;
};
