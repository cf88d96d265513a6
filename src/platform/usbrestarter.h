#pragma once

#include <QObject>
#include <QString>

// Restarts the USB device behind a controller's virtual serial port when the port hangs. The
// restart runs in the background and ends with finished(); the seam lets tests stand in for the
// hardware.
class UsbRestarter : public QObject
{
    Q_OBJECT

public:
    // The controller's USB identity.
    static constexpr const char* VendorId = "0483";
    static constexpr const char* ProductId = "5740";

    using QObject::QObject;

    // `serial` is the USB serial number of the hung port, or "*" for every controller. False when
    // the restart could not start; finished() then never comes.
    virtual bool start(const QString& serial) = 0;

signals:
    // 0 when every matching device was reset; `output` says what was done or why it failed.
    void finished(int exitCode, QString output);
};
