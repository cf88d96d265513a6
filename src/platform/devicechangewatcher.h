#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells when serial devices come and go: a USB serial adapter or a controller plugged in or pulled
// out. It listens to the kernel's device events for the "tty" subsystem through udev, so the
// program scans its ports only when something changed. Without udev (a container, a build host) it
// stays silent and isActive() is false.
class DeviceChangeWatcher : public QObject
{
    Q_OBJECT

public:
    explicit DeviceChangeWatcher(QObject* parent = nullptr);
    ~DeviceChangeWatcher() override;

    bool isActive() const { return notifier != nullptr; }

    // Only a device that appears or disappears changes the port list; "change", "bind" and the
    // like leave it as it was.
    static bool changesPortList(const QByteArray& action);

signals:
    void devicesChanged();

private:
    void onReadable();
    void release();

    struct udev* context = nullptr;
    struct udev_monitor* monitor = nullptr;
    QSocketNotifier* notifier = nullptr;
};
