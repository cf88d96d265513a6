#include "systemconfigurator/removedevice.h"

#include "model/systemmodel.h"

RemoveDevice::RemoveDevice(const QList<DeviceHandle>& handles, SystemModel* model,
                           QUndoCommand* parent)
    : QUndoCommand(parent)
    , model(model)
    , handles(handles)
    , busBefore(model->deviceHandles())
{
    for (const DeviceHandle& h : handles) {
        removed.append(model->device(h.id));
        resources.insert(h.id, model->deviceResources(h.id, false));
    }
}

RemoveDevice::~RemoveDevice() = default;

void RemoveDevice::redo()
{
    if (removed.isEmpty() || busBefore.isEmpty())
        return;
    for (const Device::Ptr_t& d : qAsConst(removed)) {
        if (d)
            model->removeDevice(d->id());
    }
    model->renumber();
    model->systemUpdated();
}

void RemoveDevice::undo()
{
    if (busBefore.isEmpty())
        return;
    bool inserted = false;
    for (const Device::Ptr_t& d : qAsConst(removed)) {
        if (d && model->insertDevice(d, resources.value(d->id())))
            inserted = true;
    }
    if (!inserted)
        return;
    model->moveBus(busBefore);
    model->systemUpdated();
}
