#include "systemconfigurator/changetype.h"

#include "model/systemmodel.h"

ChangeType::ChangeType(const QList<DeviceHandle>& oldHandles, const QList<DeviceHandle>& newHandles,
                       SystemModel* model, QUndoCommand* parent)
    : QUndoCommand(parent)
    , model(model)
    , newHandles(newHandles)
{
    for (const DeviceHandle& h : oldHandles) {
        const Device::Ptr_t d = model->device(h.id);
        if (!d)
            continue;
        oldDevices.append(d);
        oldResources.insert(h.id, model->deviceResources(h.id, false));
        oldChildren.insert(h.id, d->childIds());
    }
}

ChangeType::~ChangeType() = default;

void ChangeType::redo()
{
    // Without new handles the old devices would leave with nothing in their place.
    if (oldDevices.isEmpty() || newHandles.isEmpty())
        return;
    for (const Device::Ptr_t& o : qAsConst(oldDevices))
        model->removeDevice(o->id());
    if (newDevices.isEmpty()) {
        makeNewDevices();
        if (!newDevices.isEmpty()) {
            model->systemUpdated();
            return;
        }
        // No device of the new type could be made: the old ones stay, and nothing changed.
        for (const Device::Ptr_t& o : qAsConst(oldDevices))
            model->insertDevice(o, oldResources.value(o->id()));
        return;
    }
    bool inserted = false;
    for (const Device::Ptr_t& n : qAsConst(newDevices)) {
        if (model->insertDevice(n, newResources.value(n->id())))
            inserted = true;
    }
    if (inserted)
        model->systemUpdated();
}

void ChangeType::makeNewDevices()
{
    for (int i = 0; i < newHandles.size(); ++i) {
        const DeviceHandle& h = newHandles.at(i);
        const Device::Ptr_t n = model->addDevice(h);
        if (!n)
            continue;
        // The modules stay on the bus of the controller that replaces theirs.
        n->setChildIds(oldChildren.value(h.id));
        newDevices.append(n);
        newResources.insert(n->id(), model->deviceResources(h.id, false));
        const Device::Ptr_t o = oldDeviceOf(h, i);
        if (o)
            model->copyResourceSettings(oldResources.value(o->id()), n);
    }
}

Device::Ptr_t ChangeType::oldDeviceOf(const DeviceHandle& handle, int position) const
{
    for (const Device::Ptr_t& o : oldDevices) {
        if (o->id() == handle.id)
            return o;
    }
    return position < oldDevices.size() ? oldDevices.at(position) : Device::Ptr_t();
}

void ChangeType::undo()
{
    if (oldDevices.isEmpty() || newDevices.isEmpty())
        return;
    for (const Device::Ptr_t& n : qAsConst(newDevices))
        model->removeDevice(n->id());
    bool inserted = false;
    for (const Device::Ptr_t& o : qAsConst(oldDevices)) {
        if (model->insertDevice(o, oldResources.value(o->id())))
            inserted = true;
    }
    if (inserted)
        model->systemUpdated();
}
