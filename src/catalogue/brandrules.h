#pragma once

#include "catalogue/settingsprovider.h"
#include "model/device.h"

// Where the two products built from this program differ. The catalogue's mode says which one
// runs: 1 for the program under its own name ("Tav Configurator"), 0 for the other brand. Every
// place that behaves differently asks one of these questions instead of reading the mode.
namespace BrandRules {

// How far a system may grow: by the I/O boards of its devices, or by the bus addresses left.
inline bool limitsByBoards(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1;
}

inline bool limitsByAddresses(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 0;
}

// The I/O boards a device takes of the board budget: those its template lists; none for a type
// the catalogue does not offer.
inline int boardsOf(const DeviceTemplate& tpl)
{
    return tpl.boardIds.size();
}

inline int boardsOf(DeviceType_t type, HardwareVersion revision,
                    const SettingsProvider& catalogue = SettingsProvider::instance())
{
    DeviceTemplate tpl;
    return catalogue.deviceTemplate(type, revision, &tpl, false) ? boardsOf(tpl) : 0;
}

// The class an empty system starts with: the other brand's systems are built around a PLC.
inline int firstDeviceClass(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 0 ? Device::PlcClass : Device::TavClass;
}

// The other brand's catalogue also lists PLCs and the older devices its systems may still hold.
inline bool loadsPlcsAndCompatibles(const SettingsProvider& catalogue)
{
    return catalogue.mode == 0;
}

// A configuration file always carries its checksum; otherwise it is written to be skipped.
inline bool writesChecksum(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1;
}

inline bool hasFileToolBar(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1;
}

inline bool namesTavConfiguration(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1;
}

// Analogue inputs of a catalogue sensor take the sensor's coefficients from the catalogue.
inline bool fillsSensorCoefficients(const SettingsProvider* catalogue)
{
    return catalogue && catalogue->mode == 1;
}

// Serial ports made for a new system start at the controller's own baud rate.
inline quint32 defaultPortBaud(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1 ? 115200 : 3750000;
}

// The system page: the bus cycle time beside the statistics.
inline bool showsCycleTime(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 0;
}

// The resource page: the editor beside the tree, or a Save/Cancel panel under it.
inline bool showsEditorBesideTree(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1;
}

// Controllers alone selected get the label editor.
inline bool hasControllerLabelEditor(
    const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 0;
}

// The controllers of the program under its own name poll their discrete inputs and choose the
// analogue value mode on their own, so those settings are not offered.
inline bool showsPollingOptions(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode != 1;
}

inline bool showsAinValueMode(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode != 1;
}

// The serial-port editor shows the port selector and the per-port tabs.
inline bool showsPorts(const SettingsProvider& catalogue = SettingsProvider::instance())
{
    return catalogue.mode == 1;
}

} // namespace BrandRules
