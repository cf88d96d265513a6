#pragma once

// Codes of the live values of the I/O resources. Each code has a role word
// (Resource::roleWord) that keys its register entry "iort/" + word in the catalogue.
namespace ValueRole {
enum : int {
    None = 0,
    AinValue = 1,       // "ain"
    AinRaw = 2,         // "ain-raw"
    RtdFreeze = 3,      // "rtd-frz"
    AinExtra = 4,       // no catalogue entry
    AoutValue = 5,      // "aout"
    AoutOverride = 6,   // "aout-over"
    DinState = 7,       // "din"
    DinCounter = 8,     // "din-cntr"
    DinFrequency = 9,   // "din-freq"
    CounterReset = 10,  // "cntr-rst"
    CounterAck = 11,    // "cntr-ack"
    DoutState = 12,     // "dout"
    DoutOverride = 13,  // "dout-over"
};
} // namespace ValueRole
