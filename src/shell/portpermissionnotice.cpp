#include "shell/portpermissionnotice.h"

#include "communication/serialportinfo.h"
#include "model/errorcodes.h"
#include "shell/prompts.h"

#include <cerrno>

bool PortPermissionNotice::isPermissionError(const App::Error& error)
{
    return error.code == App::ErrorCode::PortOpen
           && (error.subCode == EACCES || error.subCode == EPERM);
}

QString PortPermissionNotice::message(const QString& portName)
{
    return tr("Нет доступа к порту %1.\n\n"
              "Чтобы работать с контроллером, добавьте пользователя в группу dialout:\n"
              "sudo usermod -aG dialout $USER\n"
              "и войдите в систему заново.")
        .arg(portName);
}

bool PortPermissionNotice::isBusyError(const App::Error& error)
{
    return error.code == App::ErrorCode::PortOpen && error.subCode == EBUSY;
}

QString PortPermissionNotice::busyMessage(const QString& portName)
{
    return tr("Порт %1 занят другой программой.\n\n"
              "Закройте программу, которая работает с этим портом, и подключите контроллер "
              "заново.")
        .arg(portName);
}

void PortPermissionNotice::portOpenFailed(const SerialPortInfo& port, const App::Error& error)
{
    if (isPermissionError(error)) {
        if (told.contains(port.portName()))
            return;
        told.insert(port.portName());
        Prompts::current().information(tr("Нет доступа к порту"), message(port.portName()));
    } else if (isBusyError(error)) {
        const QString key = QStringLiteral("busy:") + port.portName();
        if (told.contains(key))
            return;
        told.insert(key);
        Prompts::current().information(tr("Порт занят"), busyMessage(port.portName()));
    }
}

void PortPermissionNotice::restartFailed(const QString& text)
{
    const QString key = QStringLiteral("restart:") + text;
    if (text.isEmpty() || told.contains(key))
        return;
    told.insert(key);
    Prompts::current().information(tr("Перезапуск USB-порта"), text);
}
