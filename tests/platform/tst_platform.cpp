// The Linux side of device changes and USB restarts: finding the controller's USB devices in a
// fake sysfs tree, what a reset reports, and the udev watcher where udev is available.
#include "platform/devicechangewatcher.h"
#include "platform/sysfsusbrestarter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

namespace {

void writeAttribute(const QString& dir, const QString& name, const QString& value)
{
    QFile file(dir + "/" + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(value.toLatin1() + "\n");
}

void addDevice(const QString& root, const QString& name, const QString& vendor,
               const QString& product, const QString& serial, int bus, int number)
{
    const QString dir = root + "/bus/usb/devices/" + name;
    QVERIFY(QDir().mkpath(dir));
    writeAttribute(dir, "idVendor", vendor);
    writeAttribute(dir, "idProduct", product);
    writeAttribute(dir, "serial", serial);
    writeAttribute(dir, "busnum", QString::number(bus));
    writeAttribute(dir, "devnum", QString::number(number));
}

} // namespace

class PlatformTest : public QObject
{
    Q_OBJECT

    QTemporaryDir sysfs;

private slots:
    void initTestCase()
    {
        QVERIFY(sysfs.isValid());
        addDevice(sysfs.path(), "1-1", "0483", "5740", "A1", 1, 4);
        addDevice(sysfs.path(), "1-2", "0483", "5740", "B2", 1, 12);
        addDevice(sysfs.path(), "2-1", "0483", "df11", "A1", 2, 3);
        addDevice(sysfs.path(), "2-2", "1a86", "5740", "A1", 2, 5);
    }

    void findsTheControllersBySerial()
    {
        SysfsUsbRestarter restarter;
        restarter.setRoots(sysfs.path(), "/dev");
        QCOMPARE(restarter.findDevices("B2"), QStringList{"/dev/bus/usb/001/012"});
        QCOMPARE(restarter.findDevices("*"),
                 (QStringList{"/dev/bus/usb/001/004", "/dev/bus/usb/001/012"}));
        QVERIFY(restarter.findDevices("Z9").isEmpty());
    }

    void refusedResetNamesTheUdevRule()
    {
        QString output;
        const auto denied = [](const QString&) { return EACCES; };
        QCOMPARE(SysfsUsbRestarter::restartAll({"/dev/bus/usb/001/004"}, denied, &output),
                 int(SysfsUsbRestarter::ResetFailed));
        QVERIFY(output.contains("udev"));
        QVERIFY(output.contains("0483") && output.contains("5740"));
        QCOMPARE(SysfsUsbRestarter::restartAll({}, denied, &output),
                 int(SysfsUsbRestarter::NotFound));
    }

    void restartRunsInTheBackgroundAndReports()
    {
        SysfsUsbRestarter restarter;
        restarter.setRoots(sysfs.path(), "/dev");
        QStringList reset;
        restarter.setReset([&reset](const QString& node) {
            reset.append(node);
            return 0;
        });
        QSignalSpy finished(&restarter, &UsbRestarter::finished);
        QVERIFY(restarter.start("A1"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished[0][0].toInt(), int(SysfsUsbRestarter::Done));
        QCOMPARE(reset, QStringList{"/dev/bus/usb/001/004"});
    }

    void onlyAppearingAndVanishingDevicesChangeThePorts()
    {
        QVERIFY(DeviceChangeWatcher::changesPortList("add"));
        QVERIFY(DeviceChangeWatcher::changesPortList("remove"));
        QVERIFY(!DeviceChangeWatcher::changesPortList("change"));
        QVERIFY(!DeviceChangeWatcher::changesPortList("bind"));
        // Where udev runs the watcher listens; elsewhere it stays silent without failing.
        DeviceChangeWatcher watcher;
        QSignalSpy changed(&watcher, &DeviceChangeWatcher::devicesChanged);
        QCoreApplication::processEvents();
        QCOMPARE(changed.count(), 0);
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
