#include "shell/portscans.h"

#include "catalogue/settingsprovider.h"
#include "communication/communication.h"
#include "communication/devicepool.h"
#include "platform/usbrestarter.h"

#include <QDebug>

namespace {

const char* const RestartLogTag = "void TavConfigurator::restartHangupUsbSerialPort(const QList<QString>&)";
constexpr int MissingDelayMs = 300;

int catalogueDelay(int SettingsProvider::*member)
{
    const SettingsProvider* provider = SettingsProvider::loaded();
    return provider ? provider->*member : MissingDelayMs;
}

} // namespace

PortScans::PortScans(Communication* comm, DevicePool* devicePool, UsbRestarter* usbRestarter,
                     QObject* parent)
    : QObject(parent)
    , communication(comm)
    , pool(devicePool)
    , restarter(usbRestarter)
{
    scanTimer.setInterval(OfflineScanIntervalMs);
    connect(&scanTimer, &QTimer::timeout, this, &PortScans::tryToScanPorts);
    watchdog.setSingleShot(true);
    watchdog.setInterval(RestartWatchdogMs);
    connect(&watchdog, &QTimer::timeout, this, &PortScans::restartHung);
    if (restarter)
        connect(restarter, &UsbRestarter::finished, this, &PortScans::finishRestart);
}

PortScans::~PortScans() = default;

int PortScans::hangupRestartDelay()
{
    static const int delay = catalogueDelay(&SettingsProvider::hangupRestart);
    return delay;
}

int PortScans::scanAfterRestartDelay()
{
    static const int delay = catalogueDelay(&SettingsProvider::scanAfterRestart);
    return delay;
}

void PortScans::tryToScanPorts()
{
    if (!communication || communication->channelIds().isEmpty())
        emit scanRequested();
}

void PortScans::scanOfflineSystem(bool on)
{
    if (on && (!pool || !pool->activeSystem()))
        scanTimer.start();
    else
        scanTimer.stop();
}

void PortScans::devicesChanged()
{
    if (restarting)
        return;
    emit scanRequested();
    emit devNodesChanged();
}

void PortScans::restartHangupUsbSerialPort(QList<QString> ids)
{
    if (!restarter || restarting) {
        qDebug() << RestartLogTag << "Error, file exist:" << (restarter != nullptr)
                 << ", in progress:" << restarting;
        return;
    }
    // With several hung ports, or none named, every controller is restarted.
    const QString id = ids.size() == 1 ? ids.first() : QStringLiteral("*");
    restarting = true;
    watchdog.start();
    QTimer::singleShot(hangupRestartDelay(), this, [this, id] { startRestart(id); });
    qDebug() << RestartLogTag << "Start :" << "usb reset" << id;
}

void PortScans::startRestart(const QString& id)
{
    if (!restarting)
        return;
    if (!restarter->start(id))
        finishRestart(-1, tr("Не удалось запустить перезапуск USB-устройства"));
}

void PortScans::restartHung()
{
    finishRestart(-1, tr("Перезапуск USB-устройства не завершился за %1 с")
                          .arg(RestartWatchdogMs / 1000));
}

void PortScans::finishRestart(int exitCode, QString output)
{
    // A restart the watchdog has already ended may still report.
    if (!restarting)
        return;
    qDebug() << "USB SERIAL output" << output << exitCode;
    restarting = false;
    watchdog.stop();
    if (exitCode != 0)
        emit restartFailed(output);
    QTimer::singleShot(scanAfterRestartDelay(), this, &PortScans::scanRequested);
}
