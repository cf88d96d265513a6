#include "platform/sysfsusbrestarter.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <memory>
#include <mutex>

namespace {

QString attribute(const QString& deviceDir, const char* name)
{
    QFile file(deviceDir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll()).trimmed();
}

QString permissionAdvice()
{
    return QObject::tr("Нет прав на перезапуск USB-устройства. Добавьте правило udev для "
                       "устройств %1:%2 (см. README):\n"
                       "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"%1\", ATTR{idProduct}==\"%2\", "
                       "MODE=\"0666\"")
        .arg(QLatin1String(UsbRestarter::VendorId), QLatin1String(UsbRestarter::ProductId));
}

} // namespace

SysfsUsbRestarter::SysfsUsbRestarter(QObject* parent)
    : UsbRestarter(parent)
    , reset(&SysfsUsbRestarter::ioctlReset)
{
}

SysfsUsbRestarter::~SysfsUsbRestarter() = default;

void SysfsUsbRestarter::setRoots(const QString& sysfsRoot, const QString& devRoot)
{
    sysfs = sysfsRoot;
    dev = devRoot;
}

void SysfsUsbRestarter::setReset(Reset_t r)
{
    reset = r ? std::move(r) : Reset_t(&SysfsUsbRestarter::ioctlReset);
}

QStringList SysfsUsbRestarter::findDevices(const QString& serial) const
{
    QStringList nodes;
    const QDir devices(sysfs + QStringLiteral("/bus/usb/devices"));
    const QStringList names = devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString path = devices.filePath(name);
        if (attribute(path, "idVendor") != QLatin1String(VendorId)
            || attribute(path, "idProduct") != QLatin1String(ProductId))
            continue;
        if (serial != QLatin1String("*") && attribute(path, "serial") != serial)
            continue;
        bool busOk = false;
        bool devOk = false;
        const int bus = attribute(path, "busnum").toInt(&busOk);
        const int number = attribute(path, "devnum").toInt(&devOk);
        if (!busOk || !devOk)
            continue;
        nodes.append(QStringLiteral("%1/bus/usb/%2/%3")
                         .arg(dev)
                         .arg(bus, 3, 10, QLatin1Char('0'))
                         .arg(number, 3, 10, QLatin1Char('0')));
    }
    return nodes;
}

int SysfsUsbRestarter::ioctlReset(const QString& node)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int rc = ::ioctl(fd, USBDEVFS_RESET, 0);
    const int cause = rc < 0 ? errno : 0;
    ::close(fd);
    return cause;
}

int SysfsUsbRestarter::restartAll(const QStringList& nodes, const Reset_t& reset, QString* output)
{
    if (nodes.isEmpty()) {
        *output = QObject::tr("USB-устройство контроллера не найдено");
        return NotFound;
    }
    int exit = Done;
    QStringList lines;
    bool denied = false;
    for (const QString& node : nodes) {
        const int cause = reset(node);
        if (cause == 0) {
            lines.append(QStringLiteral("%1: reset").arg(node));
            continue;
        }
        exit = ResetFailed;
        denied = denied || cause == EACCES || cause == EPERM;
        lines.append(QStringLiteral("%1: %2").arg(node, QString::fromLocal8Bit(strerror(cause))));
    }
    if (denied)
        lines.append(permissionAdvice());
    *output = lines.join(QLatin1Char('\n'));
    return exit;
}

bool SysfsUsbRestarter::start(const QString& serial)
{
    // Handed from the reset thread to the GUI thread under a lock the thread sanitizer can see:
    // Qt's own hand-over of a finished thread goes through its futex-based mutex.
    struct Result
    {
        std::mutex lock;
        int exit = Done;
        QString output;
    };
    const QStringList nodes = findDevices(serial);
    auto result = std::make_shared<Result>();
    QThread* thread = QThread::create([nodes, r = reset, result] {
        QString output;
        const int exit = restartAll(nodes, r, &output);
        const std::lock_guard<std::mutex> hold(result->lock);
        result->exit = exit;
        result->output = output;
    });
    if (!thread)
        return false;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, result] {
        int exit = Done;
        QString output;
        {
            const std::lock_guard<std::mutex> hold(result->lock);
            exit = result->exit;
            output = result->output;
        }
        emit finished(exit, output);
    });
    thread->start();
    return true;
}
