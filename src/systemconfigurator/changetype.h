#pragma once

#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"

#include <QList>
#include <QMap>
#include <QUndoCommand>

class SystemModel;

// Puts a device of another type or revision in each old device's place, under the same id, with
// the old device's modules and every resource setting both types have. Undo puts the old
// objects back; a later redo the new objects made by the first.
class ChangeType : public QUndoCommand
{
public:
    ChangeType(const QList<DeviceHandle>& oldHandles, const QList<DeviceHandle>& newHandles,
               SystemModel* model, QUndoCommand* parent = nullptr);
    ~ChangeType() override;

    void undo() override;
    void redo() override;

private:
    using ResourceMap_t = QMap<NodeId_t, QList<IoResource::Ptr_t>>;

    void makeNewDevices();
    // Takes `leaving` out of the system and puts `coming` back with the resources kept for them;
    // true when any device went back in.
    bool exchange(const QList<Device::Ptr_t>& leaving, const QList<Device::Ptr_t>& coming,
                  const ResourceMap_t& kept);
    // The old device a new handle replaces: the one with its id, as a type change keeps the id.
    Device::Ptr_t oldDeviceOf(const DeviceHandle& handle, int position) const;

    SystemModel* model;
    QList<DeviceHandle> newHandles;
    QList<Device::Ptr_t> oldDevices;
    QList<Device::Ptr_t> newDevices;
    ResourceMap_t oldResources;
    ResourceMap_t newResources;
    QMap<NodeId_t, QList<NodeId_t>> oldChildren;
};
