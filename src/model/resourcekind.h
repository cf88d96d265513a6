#pragma once

// Kind codes of resources and of the records that carry their configuration and values. The codes
// are stored in configuration files and flat images, so they never change.
namespace ResourceKind {
enum : int {
    None = -1,
    Ain = 0,
    Aout = 1,
    Din = 2,
    Dout = 3,
    SerialPort = 4,
    KorCpu = 6,
    // An AbstractConfig that carries a device's own settings rather than a resource's.
    DevicePart = 11,
    // Raw configuration and data blocks; an AbstractValue of this kind holds no value.
    Block = 12,
};

// The kinds of a device's own resources, the ones the system model makes and lists.
constexpr bool isMade(int kind)
{
    return kind >= Ain && kind <= SerialPort;
}
} // namespace ResourceKind
