#include "resourceconfigurator/changedevice.h"

#include "model/systemmodel.h"

namespace Tre {

ChangeDevice::ChangeDevice(SystemModel* system)
    : ChangeResource(system)
{
}

ChangeDevice::~ChangeDevice() = default;

void ChangeDevice::undo()
{
    apply(false);
}

void ChangeDevice::redo()
{
    apply(true);
}

void ChangeDevice::apply(bool useNew)
{
    SystemModel* model = system();
    if (!model)
        return;
    for (auto it = configs().cbegin(); it != configs().cend(); ++it) {
        const Device::Ptr_t d = model->device(it.key());
        if (!d)
            continue;
        d->importConfig(useNew ? it.value().second : it.value().first);
        model->applyDeviceSettings(d);
    }
    model->resourceUpdated(configs().keys());
}

} // namespace Tre
