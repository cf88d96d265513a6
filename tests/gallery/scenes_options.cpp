// Scenes of the Options menu's firmware upgrade dialog: no controller connected, and a controller
// of the catalogue connected, under the engineering endless-upgrade mark.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "upgrade/upgrademanager.h"

TAV_GALLERY_SCENES(options)
{
    auto* none = new UpgradeFirmwareDialog;
    none->setDebugPerpetualUpgrade(false);
    Gallery::save(none, outDir, "options_upgradedialog_nocontroller");

    SystemInfo_t info;
    info.kernelSn = 42;
    info.kernelId = 0x01020003;
    info.kernelAux = 0x0200000a;
    info.address = 2;
    const QList<DeviceType_t>& controllers = SettingsProvider::instance().types(Device::TavClass);
    info.cpuId = controllers.isEmpty() ? 0 : controllers.first();
    auto* connected = new UpgradeFirmwareDialog;
    connected->setDebugPerpetualUpgrade(true);
    connected->manager()->systemDetected(info);
    Gallery::save(connected, outDir, "options_upgradedialog_connected");
}
