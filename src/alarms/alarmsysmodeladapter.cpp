#include "alarms/alarmsysmodeladapter.h"

namespace Alarms {

AlarmSysModelAdapter::AlarmSysModelAdapter(SystemAlarms* alarms, SystemModel* model,
                                           QObject* parent)
    : QObject(parent)
{
    Q_UNUSED(alarms)
    Q_UNUSED(model)
}

void AlarmSysModelAdapter::onMonitoring(bool on)
{
    m_monitoring = on;
}

void AlarmSysModelAdapter::systemLost()
{
    m_monitoring = false;
}

} // namespace Alarms
