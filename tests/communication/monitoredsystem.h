#pragma once

#include "catalogue/settingsprovider.h"
#include "support/simulatedcontroller.h"
#include "model/systemmodel.h"

// The system the monitoring tests watch: a TAV-1020-10 controller with one two-board module, and
// the bus its simulated controller reports (a non-zero aux word, so the device pool accepts it).
struct MonitoredSystem
{
    static constexpr DeviceType_t Controller = 0x0B0A140Au;

    Device::Ptr_t tav;
    Device::Ptr_t pex;

    static DeviceType_t module()
    {
        const SettingsProvider& p = SettingsProvider::instance();
        for (DeviceType_t t : p.pexTypes)
            if (p.templates.value(t).boardIds.size() == 2)
                return t;
        return 0;
    }

    static Device::Ptr_t add(SystemModel& model, DeviceType_t type, int number,
                             const NodeId_t& owner = NodeId_t())
    {
        DeviceHandle h;
        h.type = type;
        h.revision = 0;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = number;
        return model.addDevice(h);
    }

    bool build(SystemModel& model)
    {
        tav = add(model, Controller, 0);
        pex = tav ? add(model, module(), 1, tav->id()) : Device::Ptr_t();
        return tav && pex;
    }

    static QList<SimulatedController::BusDevice> bus(bool withModule = true)
    {
        QList<SimulatedController::BusDevice> devices{{Controller, 0, 1001, 1, 0, 77}};
        if (withModule)
            devices.append({module(), 0, 2002, 2, 0, 1});
        return devices;
    }
};
