#include "systemconfigurator/duplicatedevice.h"

#include "model/abstractconfig.h"
#include "model/resourcekind.h"
#include "model/systemmodel.h"
#include "systemconfigurator/editpacing.h"

namespace {

// Clones between two repaints of the window.
constexpr int kPaintEvery = 10;

// The system's serial ports are listed by controller 0 but belong to the system: a clone never
// gets a pair of its own, so they take no part in matching a clone to its source.
QList<IoResource::Ptr_t> withoutPorts(const QList<IoResource::Ptr_t>& list)
{
    QList<IoResource::Ptr_t> own;
    for (const IoResource::Ptr_t& r : list) {
        if (!r || r->kind() != ResourceKind::SerialPort)
            own.append(r);
    }
    return own;
}

} // namespace

DuplicateDevice::DuplicateDevice(const QList<DeviceHandle>& sources,
                                 const QList<DeviceHandle>& clones, SystemModel* model,
                                 QUndoCommand* parent)
    : QUndoCommand(parent)
    , model(model)
    , sources(sources)
    , clones(clones)
{
}

DuplicateDevice::~DuplicateDevice() = default;

void DuplicateDevice::redo()
{
    int count = 0;
    if (made.isEmpty()) {
        // A pair that does not match stops the cloning; the clones made before it stay and are
        // announced, so the tree shows what undo will take out.
        for (int i = 0; i < clones.size() && i < sources.size(); ++i) {
            if (!makeClone(i, count))
                break;
        }
    } else {
        for (const Device::Ptr_t& c : qAsConst(made)) {
            if (c && model->insertDevice(c, resources.value(c->id())))
                ++count;
        }
    }
    if (count != 0)
        model->systemUpdated();
}

bool DuplicateDevice::makeClone(int i, int& count)
{
    const DeviceHandle& clone = clones.at(i);
    const DeviceHandle& source = sources.at(i);
    if (clone.type != source.type)
        return false;
    const Device::Ptr_t c = model->addDevice(clone);
    const QList<IoResource::Ptr_t> own = model->deviceResources(clone.id, false);
    const QList<IoResource::Ptr_t> to = withoutPorts(own);
    const QList<IoResource::Ptr_t> from = withoutPorts(model->deviceResources(source.id, false));
    bool matches = to.size() == from.size();
    for (int k = 0; matches && k < to.size(); ++k)
        matches = to.at(k) && from.at(k) && to.at(k)->kind() == from.at(k)->kind();
    if (!matches) {
        // Not remembered by the command, the clone would stay where no undo can reach it.
        dropClone(c);
        return false;
    }
    for (int k = 0; k < to.size(); ++k) {
        AbstractConfig config;
        from.at(k)->exportConfig(config);
        to.at(k)->importConfig(config);
    }
    made.append(c);
    resources.insert(clone.id, own);
    if (c)
        ++count;
    if (i % kPaintEvery == 0)
        EditPacing::letWindowPaint();
    return true;
}

void DuplicateDevice::dropClone(const Device::Ptr_t& clone)
{
    if (!clone)
        return;
    model->removeDevice(clone->id());
    const Device::Ptr_t owner = model->device(clone->owner());
    if (owner) {
        QList<NodeId_t> children = owner->childIds();
        children.removeAll(clone->id());
        owner->setChildIds(children);
    }
    model->pairAnalogInputs();
}

void DuplicateDevice::undo()
{
    if (made.isEmpty())
        return;
    for (const Device::Ptr_t& c : qAsConst(made)) {
        if (c)
            model->removeDevice(c->id());
    }
    model->systemUpdated();
}
