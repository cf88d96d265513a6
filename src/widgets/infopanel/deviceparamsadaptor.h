#pragma once

#include "model/device.h"

#include <QCoreApplication>

class InfoPanel;

// Writes a controller's live readings (temperature, supply, the 12 V and 3.3 V rails) into the
// first four indicators of an information panel while it is switched on.
class DeviceParamsAdaptor
{
    Q_DECLARE_TR_FUNCTIONS(DeviceParamsAdaptor)

public:
    explicit DeviceParamsAdaptor(InfoPanel* panel);

    void init();
    void setActive(bool on);
    void update(const Device::Ptr_t& device);

private:
    void showSupply(const Device& device, int flags);
    void showSupplyKind(const QString& kind, const QString& usb);

    bool active = true;
    InfoPanel* ip = nullptr;
};
