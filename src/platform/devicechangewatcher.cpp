#include "platform/devicechangewatcher.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

DeviceChangeWatcher::DeviceChangeWatcher(QObject* parent)
    : QObject(parent)
{
    context = udev_new();
    if (!context)
        return;
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor
        || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(monitor) < 0) {
        qDebug() << "DeviceChangeWatcher: no udev monitor, device changes are not watched";
        release();
        return;
    }
    notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &DeviceChangeWatcher::onReadable);
}

DeviceChangeWatcher::~DeviceChangeWatcher()
{
    release();
}

bool DeviceChangeWatcher::changesPortList(const QByteArray& action)
{
    return action == "add" || action == "remove";
}

void DeviceChangeWatcher::onReadable()
{
    // One wake-up may carry several events; one notice is enough for one scan.
    bool changed = false;
    while (udev_device* device = udev_monitor_receive_device(monitor)) {
        const char* action = udev_device_get_action(device);
        changed = changed || (action && changesPortList(QByteArray(action)));
        udev_device_unref(device);
    }
    if (changed)
        emit devicesChanged();
}

void DeviceChangeWatcher::release()
{
    delete notifier;
    notifier = nullptr;
    if (monitor)
        udev_monitor_unref(monitor);
    monitor = nullptr;
    if (context)
        udev_unref(context);
    context = nullptr;
}
