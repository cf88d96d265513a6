#pragma once

#include <QList>
#include <QMetaObject>

class Communication;
class DeviceConfigurator;
class DevicePool;
class UpgradeFirmwareDialog;
class UpgradeManager;
class QWidget;

// Ties an open firmware upgrade dialog to the running services for exactly as long as it runs:
// the manager's requests and keep-alive switch reach the communication and the pool, the pool's
// selection and loss reach the manager, and the device configurator's keep-alive switch reaches
// the pool only meanwhile. The window adds the connections of its own objects (the alarm
// polling switch, its device-nodes notice) with add() before run().
class UpgradeHookup
{
public:
    // Without a configurator its keep-alive switch is left as the caller has it.
    UpgradeHookup(DevicePool* pool, DeviceConfigurator* configurator, Communication* communication);
    ~UpgradeHookup();

    // The dialog as the Options menu opens it, titled for the engineering endless-upgrade switch.
    static UpgradeFirmwareDialog* createDialog(QWidget* parent, bool perpetual);

    void connectManager(UpgradeManager* manager);
    void add(const QMetaObject::Connection& connection);
    // Hands the manager the system selected now, runs the dialog modally through the prompts,
    // then takes every connection down and schedules the dialog's deletion. A dialog without a
    // manager is not shown. The dialog's result, or -1 when it was not shown.
    int run(UpgradeFirmwareDialog* dialog);

    int connectionCount() const { return m_connections.size(); }

private:
    void disconnectAll();

    DevicePool* m_pool;
    DeviceConfigurator* m_configurator;
    Communication* m_communication;
    QList<QMetaObject::Connection> m_connections;
};
