#pragma once

#include "communication/serialportinfo.h"

#include <QList>

#include <functional>

// Where the port scan learns which serial ports exist. Qt lists real ttys only, never
// pseudo-terminals, so paths named in TAVCFG_EXTRA_PORTS (colon-separated) are added to what the
// system reports.
class PortEnumerator
{
public:
    using Source_t = std::function<QList<SerialPortInfo>()>;

    static constexpr const char* ExtraPortsVariable = "TAVCFG_EXTRA_PORTS";
    // "0" leaves the system's own ports out of every scan.
    static constexpr const char* SystemPortsVariable = "TAVCFG_SYSTEM_PORTS";

    // The system's serial ports, as QSerialPortInfo reports them (none with TAVCFG_SYSTEM_PORTS=0).
    static QList<SerialPortInfo> systemPorts();
    // The ports named in TAVCFG_EXTRA_PORTS that exist, in the order given.
    static QList<SerialPortInfo> extraPorts();
    // `system` followed by the extra ports that do not name a port already listed.
    static QList<SerialPortInfo> currentPorts(const Source_t& system = systemPorts);
};
