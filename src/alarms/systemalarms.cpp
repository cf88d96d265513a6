#include "alarms/systemalarms.h"

namespace Alarms {

SystemAlarms::SystemAlarms(QObject* parent)
    : QObject(parent)
{
}

void SystemAlarms::setAlarms(QList<AlarmItem> alarms)
{
    items = std::move(alarms);
    int next[3] = {0, 0, 0};
    for (const AlarmItem& item : qAsConst(items)) {
        next[0] += item.active ? 1 : 0;
        next[1] += item.latched ? 1 : 0;
        next[2] += item.masked ? 1 : 0;
    }
    emit listChanged();
    if (std::equal(next, next + 3, counts))
        return;
    std::copy(next, next + 3, counts);
    emit alarmsChanged(counts[0], counts[1], counts[2]);
}

void SystemAlarms::send(const AlarmItem& item, AlarmItem::Change change)
{
    AlarmItem out = item;
    out.change = change;
    emit alarmsUpdated({out});
}

void SystemAlarms::acknowledge(int index)
{
    if (index >= 0 && index < items.size())
        send(items.at(index), AlarmItem::Acknowledge);
}

void SystemAlarms::acknowledgeAll()
{
    QList<AlarmItem> out;
    for (AlarmItem item : qAsConst(items)) {
        if (!item.latched)
            continue;
        item.change = AlarmItem::Acknowledge;
        out.append(item);
    }
    if (!out.isEmpty())
        emit alarmsUpdated(out);
}

void SystemAlarms::setMasked(int index, bool masked)
{
    if (index >= 0 && index < items.size())
        send(items.at(index), masked ? AlarmItem::Mask : AlarmItem::Unmask);
}

} // namespace Alarms
