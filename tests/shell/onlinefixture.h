#pragma once

#include "catalogue/settingsprovider.h"
#include "communication/livesystem.h"
#include "communication/scriptediodevice.h"
#include "communication/smartreadrequest.h"
#include "support/simulatedcontroller.h"

// Live systems as the device pool would report them, decoded from a scripted CPU block.
namespace OnlineFixture {

inline LiveSystem::Ptr_t liveSystem(const QList<SimulatedController::BusDevice>& bus)
{
    ProtoEntry korcpu;
    LiveSystem::Ptr_t system(new LiveSystem);
    if (!SettingsProvider::instance().sysEntry(QStringLiteral("korcpu"), &korcpu)
        || !system->prepareSysBlock())
        return {};
    ScriptedIoDevice device;
    device.setWords(4, int(korcpu.offset), SimulatedController::cpuBlock(bus));
    const Request::Ptr_t read = SmartReadRequest::create(system->cpu(), nullptr);
    read->doRequest(device);
    read->notify();
    system->onSystemLoaded();
    return system;
}

} // namespace OnlineFixture
