#include "systemconfigurator/adddevice.h"

#include "model/systemmodel.h"
#include "systemconfigurator/editpacing.h"

namespace {
// Devices added between two repaints of the window.
constexpr int kPaintEvery = 20;
} // namespace

AddDevice::AddDevice(const QList<DeviceHandle>& handles, SystemModel* model, QUndoCommand* parent)
    : QUndoCommand(parent)
    , model(model)
    , handles(handles)
{
}

AddDevice::~AddDevice() = default;

void AddDevice::redo()
{
    int count = 0;
    if (added.isEmpty()) {
        for (const DeviceHandle& h : qAsConst(handles)) {
            const Device::Ptr_t d = model->addDevice(h);
            added.append(d);
            resources.insert(h.id, model->deviceResources(h.id, false));
            if (d)
                ++count;
            if (count % kPaintEvery == 0)
                EditPacing::letWindowPaint();
        }
    } else {
        for (const Device::Ptr_t& d : qAsConst(added)) {
            if (!d)
                continue;
            if (model->insertDevice(d, resources.value(d->id())))
                ++count;
            if (count % kPaintEvery == 0)
                EditPacing::letWindowPaint();
        }
    }
    if (count != 0)
        model->systemUpdated();
}

void AddDevice::undo()
{
    if (added.isEmpty())
        return;
    for (const Device::Ptr_t& d : qAsConst(added)) {
        if (d)
            model->removeDevice(d->id());
    }
    model->systemUpdated();
}
