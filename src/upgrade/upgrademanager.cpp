#include "upgrade/upgrademanager.h"

#include <QDebug>

UpgradeManager::UpgradeManager(QObject* parent)
    : QObject(parent)
{
}

void UpgradeManager::devicesChanged()
{
    // The serial ports are rescanned by the window; what was found reaches us as a detection.
    qDebug() << "Upgrade [Devices], device nodes changed";
}

void UpgradeManager::systemLost()
{
    if (!m_hasSystem)
        return;
    m_hasSystem = false;
    m_system = SystemInfo_t();
    emit systemChanged();
}

void UpgradeManager::systemDetected(SystemInfo_t info)
{
    m_system = info;
    m_hasSystem = true;
    emit systemChanged();
}
