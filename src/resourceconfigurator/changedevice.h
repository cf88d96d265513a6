#pragma once

#include "resourceconfigurator/changeresource.h"

namespace Tre {

// One user edit of device settings (the label, the device-wide polling): per device node the
// device part before and after; the device-wide fields are pushed into the device's resources.
class ChangeDevice : public ChangeResource
{
public:
    explicit ChangeDevice(SystemModel* system);
    ~ChangeDevice() override;

    void undo() override;
    void redo() override;

private:
    void apply(bool useNew);
};

} // namespace Tre
