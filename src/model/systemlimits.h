#pragma once

// How big the editor lets a system grow. Mode 1 (the program under its own name) counts the I/O
// boards of the devices' templates; mode 0 counts devices, as the Modbus address space of the bus
// allows. A system read from a controller may hold more, and still saves and opens.
namespace SystemLimits {

constexpr int BoardBudget = 22;
constexpr int AddressCount = 245;
// Adding stays allowed while fewer devices than this are present.
constexpr int AddAllowedBelow = 244;

} // namespace SystemLimits
