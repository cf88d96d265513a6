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
    if (!newDevices.isEmpty()) {
        if (exchange(oldDevices, newDevices, newResources))
            model->systemUpdated();
        return;
    }
    exchange(oldDevices, {}, newResources);
    makeNewDevices();
    if (!newDevices.isEmpty()) {
        model->systemUpdated();
        return;
    }
    // No device of the new type could be made: the old ones stay, and nothing changed.
    exchange({}, oldDevices, oldResources);
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
    if (exchange(newDevices, oldDevices, oldResources))
        model->systemUpdated();
}

bool ChangeType::exchange(const QList<Device::Ptr_t>& leaving, const QList<Device::Ptr_t>& coming,
                          const ResourceMap_t& kept)
{
    for (const Device::Ptr_t& d : leaving)
        model->removeDevice(d->id());
    bool inserted = false;
    for (const Device::Ptr_t& d : coming) {
        if (model->insertDevice(d, kept.value(d->id())))
            inserted = true;
    }
    return inserted;
}
