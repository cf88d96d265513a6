#pragma once

#include "model/apperror.h"

#include <QObject>
#include <QSet>
#include <QString>

class SerialPortInfo;

// Tells the user, once per port and run, when a serial port cannot be opened because the user may
// not use it, or because another program holds it, and what to do about it. Other open failures
// are the scan's business.
class PortPermissionNotice : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    static bool isPermissionError(const App::Error& error);
    static QString message(const QString& portName);
    static bool isBusyError(const App::Error& error);
    static QString busyMessage(const QString& portName);

public slots:
    void portOpenFailed(const SerialPortInfo& port, const App::Error& error);
    // A failed USB restart; each distinct cause is told once.
    void restartFailed(const QString& message);

private:
    QSet<QString> told;
};
