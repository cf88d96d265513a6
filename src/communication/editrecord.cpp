#include "communication/editrecord.h"

#include "model/systemmodel.h"

void EditRecord::clear()
{
    edited.clear();
    cutDevices.clear();
    edits = 0;
}

void EditRecord::edit(const QList<NodeId_t>& ids)
{
    ++edits;
    for (const NodeId_t& id : ids)
        edited.insert(id, edits);
}

void EditRecord::written(const SystemModel& model, quint64 stamp, const QList<NodeId_t>& devices)
{
    for (auto it = edited.begin(); it != edited.end();) {
        const IoResource::Ptr_t resource = model.resource(it.key());
        if (it.value() <= stamp && resource && devices.contains(resource->owner()))
            it = edited.erase(it);
        else
            ++it;
    }
    for (const NodeId_t& device : devices)
        cutDevices.remove(device);
}

void EditRecord::cut(const QList<NodeId_t>& devices)
{
    for (const NodeId_t& device : devices)
        cutDevices.insert(device);
}

QList<Device::Ptr_t> EditRecord::devices(const SystemModel& model) const
{
    QList<Device::Ptr_t> found;
    for (auto it = edited.cbegin(); it != edited.cend(); ++it) {
        const IoResource::Ptr_t resource = model.resource(it.key());
        const Device::Ptr_t device = resource ? model.device(resource->owner()) : Device::Ptr_t();
        if (device && !found.contains(device))
            found.append(device);
    }
    return found;
}
