#pragma once

class Communication;
class ControlAndMonitoring;
class DeviceConfigurator;
class DevicePool;

// Ties the pool, the channels, the configurator and the monitoring loop together: detection,
// selection, keep-alive checks and channel drops run through these connections. The window and the
// end-to-end tests both wire through here, so a test never runs against a copy of the window's
// connections. The configurator and the monitoring loop may be null where a caller has none; each
// connection is made once, so call this once per set of objects.
void wireCommunication(Communication* communication, DevicePool* pool,
                       DeviceConfigurator* configurator = nullptr,
                       ControlAndMonitoring* monitoring = nullptr);
