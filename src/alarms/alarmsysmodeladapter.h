#pragma once

#include <QObject>

class SystemModel;

namespace Alarms {

class SystemAlarms;

// The link between the alarm set and the system model. Nothing reads alarm marks from the model
// yet, so all it keeps is whether monitoring is on; the set and the model are taken for the day
// alarmed devices are marked.
class AlarmSysModelAdapter : public QObject
{
    Q_OBJECT

public:
    AlarmSysModelAdapter(SystemAlarms* alarms, SystemModel* model, QObject* parent = nullptr);

    bool isMonitoring() const { return m_monitoring; }

public slots:
    void onMonitoring(bool on);
    void systemLost();

private:
    bool m_monitoring = false;
};

} // namespace Alarms
