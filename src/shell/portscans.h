#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class Communication;
class DevicePool;
class UsbRestarter;

// Decides when the serial ports are scanned for controllers: at start-up, when serial devices come
// or go, every 10 s while the engineering offline scan is on and no system is active, and after a
// hung USB serial port has been restarted. While a restart runs, device changes do not scan (the
// restart itself makes the device vanish and come back) and further restarts are refused.
class PortScans : public QObject
{
    Q_OBJECT

public:
    static constexpr int OfflineScanIntervalMs = 10000;
    // A restart that has not ended by then is taken as failed, so scans resume.
    static constexpr int RestartWatchdogMs = 30000;

    // Any pointer may be null: no communication means no channel, no pool no active system.
    PortScans(Communication* communication, DevicePool* pool, UsbRestarter* restarter,
              QObject* parent = nullptr);
    ~PortScans() override;

    bool isRestartInProgress() const { return restarting; }
    bool isOfflineScanRunning() const { return scanTimer.isActive(); }
    // Tests shorten the watchdog.
    void setRestartWatchdog(int ms) { watchdog.setInterval(ms); }

    // Each read from the catalogue once, at its first use.
    static int hangupRestartDelay();
    static int scanAfterRestartDelay();

signals:
    void scanRequested();
    // A device change that started a scan.
    void devNodesChanged();
    // A restart that failed, in words for the user.
    void restartFailed(QString message);

public slots:
    void tryToScanPorts();
    void scanOfflineSystem(bool on);
    void devicesChanged();
    void restartHangupUsbSerialPort(QList<QString> ids);
    void finishRestart(int exitCode, QString output);

private:
    void startRestart(const QString& id);
    void restartHung();

    Communication* communication;
    DevicePool* pool;
    UsbRestarter* restarter;
    QTimer scanTimer;
    QTimer watchdog;
    bool restarting = false;
};
