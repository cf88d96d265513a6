#include "systemconfigurator/leaveredirector.h"

#include "systemconfigurator/deviceselector.h"

#include <QEvent>
#include <QListWidget>

LeaveRedirector::LeaveRedirector(DeviceSelector* selector)
    : QObject(selector)
    , selector(selector)
{
}

bool LeaveRedirector::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Leave) {
        auto* list = qobject_cast<QListWidget*>(watched);
        if (list && list->currentItem())
            selector->announce(DeviceType_t(list->currentItem()->data(Qt::UserRole).toUInt()));
    }
    return QObject::eventFilter(watched, event);
}
