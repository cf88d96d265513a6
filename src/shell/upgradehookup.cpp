#include "shell/upgradehookup.h"

#include "communication/communication.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "shell/prompts.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "upgrade/upgrademanager.h"

UpgradeHookup::UpgradeHookup(DevicePool* pool, DeviceConfigurator* configurator,
                             Communication* communication)
    : m_pool(pool)
    , m_configurator(configurator)
    , m_communication(communication)
{
}

UpgradeHookup::~UpgradeHookup()
{
    disconnectAll();
}

UpgradeFirmwareDialog* UpgradeHookup::createDialog(QWidget* parent, bool perpetual)
{
    auto* dialog = new UpgradeFirmwareDialog(parent);
    dialog->setDebugPerpetualUpgrade(perpetual);
    return dialog;
}

void UpgradeHookup::connectManager(UpgradeManager* manager)
{
    if (!manager)
        return;
    add(QObject::connect(manager, &UpgradeManager::keepAliveControl, m_pool,
                         &DevicePool::enableKeepAlive));
    if (m_configurator)
        add(QObject::connect(m_configurator, &DeviceConfigurator::keepAliveControl, m_pool,
                             &DevicePool::enableKeepAlive));
    add(QObject::connect(manager, &UpgradeManager::sendRequest, m_communication,
                         &Communication::sendRequest));
    add(QObject::connect(m_pool, &DevicePool::activeRemoved, manager, &UpgradeManager::systemLost));
    // The dialog and its manager may go before the pool does; the connection goes with them.
    add(QObject::connect(m_pool, &DevicePool::systemSelected, manager,
                         [manager](LiveSystem::Ptr_t system) {
                             if (system)
                                 manager->systemDetected(system->info());
                         }));
}

void UpgradeHookup::add(const QMetaObject::Connection& connection)
{
    m_connections.append(connection);
}

int UpgradeHookup::run(UpgradeFirmwareDialog* dialog)
{
    int result = -1;
    if (UpgradeManager* manager = dialog->manager()) {
        if (const LiveSystem::Ptr_t active = m_pool->activeSystem())
            manager->systemDetected(active->info());
        result = Prompts::current().exec(dialog);
    }
    disconnectAll();
    dialog->deleteLater();
    return result;
}

void UpgradeHookup::disconnectAll()
{
    for (const QMetaObject::Connection& connection : qAsConst(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
}
