#pragma once

#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"

#include <QList>
#include <QMap>
#include <QUndoCommand>

class SystemModel;

// Adds clones of the source devices: clone i gets the resource settings of source i. Like
// AddDevice, the objects are made in the first redo and reused by every later one.
class DuplicateDevice : public QUndoCommand
{
public:
    DuplicateDevice(const QList<DeviceHandle>& sources, const QList<DeviceHandle>& clones,
                    SystemModel* model, QUndoCommand* parent = nullptr);
    ~DuplicateDevice() override;

    void undo() override;
    void redo() override;

private:
    // Makes clone i and copies the settings of source i into it; false, with the clone taken out
    // again, when the two do not match resource by resource.
    bool makeClone(int i, int& count);
    void dropClone(const Device::Ptr_t& clone);

    SystemModel* model;
    QList<DeviceHandle> sources;
    QList<DeviceHandle> clones;
    QList<Device::Ptr_t> made;
    QMap<NodeId_t, QList<IoResource::Ptr_t>> resources;
};
