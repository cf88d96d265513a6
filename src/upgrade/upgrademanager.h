#pragma once

#include "communication/request.h"
#include "model/systeminfo.h"

#include <QObject>

// What the firmware upgrade knows of the running services while its dialog is open: the
// controller detected last, which it forgets when the system is lost. The program flashes no
// firmware, so it never asks the services to hold the keep-alive or sends a request; the signals
// are there for the window to connect like every other request producer.
class UpgradeManager : public QObject
{
    Q_OBJECT

public:
    explicit UpgradeManager(QObject* parent = nullptr);

    bool hasSystem() const { return m_hasSystem; }
    // Meaningful only while hasSystem().
    const SystemInfo_t& system() const { return m_system; }

signals:
    // Keep-alive and alarm polling off while an upgrade talks to the devices, on again after.
    void keepAliveControl(bool on);
    void sendRequest(Request::Ptr_t request);
    // The detected system appeared, changed or was lost.
    void systemChanged();

public slots:
    void devicesChanged();
    void systemLost();
    void systemDetected(SystemInfo_t info);

private:
    SystemInfo_t m_system;
    bool m_hasSystem = false;
};
