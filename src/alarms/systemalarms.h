#pragma once

#include "alarms/alarmitem.h"

#include <QList>
#include <QObject>

namespace Alarms {

// The alarms of the selected system as last polled, and the user's acknowledge and mask
// operations on them, which go back to the devices through alarmsUpdated.
class SystemAlarms : public QObject
{
    Q_OBJECT

public:
    explicit SystemAlarms(QObject* parent = nullptr);

    const QList<AlarmItem>& alarms() const { return items; }

    void acknowledge(int index);
    // Every latched alarm.
    void acknowledgeAll();
    void setMasked(int index, bool masked);

signals:
    // Items to write back, each with its change.
    void alarmsUpdated(QList<AlarmItem> alarms);
    void alarmsChanged(int active, int latched, int masked);
    // The set was replaced by a poll.
    void listChanged();

public slots:
    void setAlarms(QList<AlarmItem> alarms);

private:
    void send(const AlarmItem& item, AlarmItem::Change change);

    QList<AlarmItem> items;
    int counts[3] = {0, 0, 0};
};

} // namespace Alarms
