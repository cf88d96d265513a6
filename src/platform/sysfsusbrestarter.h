#pragma once

#include "platform/usbrestarter.h"

#include <QStringList>

#include <functional>

// Finds the controller's USB devices in sysfs (by vendor, product and serial number) and resets
// each through its usbfs node, the way unplugging and plugging the cable would. The reset runs on
// a thread of its own: a device that hangs may keep the ioctl waiting.
class SysfsUsbRestarter : public UsbRestarter
{
    Q_OBJECT

public:
    // Exit codes of finished().
    enum Exit { Done = 0, NotFound = 1, ResetFailed = 2 };
    // Resets one usbfs node; 0 or the errno of the failure.
    using Reset_t = std::function<int(const QString& node)>;

    explicit SysfsUsbRestarter(QObject* parent = nullptr);
    ~SysfsUsbRestarter() override;

    // Tests put a fake tree here; the program uses "/sys" and "/dev".
    void setRoots(const QString& sysfsRoot, const QString& devRoot);
    void setReset(Reset_t reset);

    // The usbfs nodes of the matching devices, e.g. "/dev/bus/usb/001/004".
    QStringList findDevices(const QString& serial) const;
    bool start(const QString& serial) override;

    // The whole restart, as the background thread runs it; `output` gets the report.
    static int restartAll(const QStringList& nodes, const Reset_t& reset, QString* output);
    static int ioctlReset(const QString& node);

private:
    QString sysfs = QStringLiteral("/sys");
    QString dev = QStringLiteral("/dev");
    Reset_t reset;
};
