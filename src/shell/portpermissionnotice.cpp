#include "shell/portpermissionnotice.h"

#include "communication/serialportinfo.h"
#include "shell/prompts.h"

#include <cerrno>

namespace {

// The code of a failed port open; its sub-code is the system's error number.
constexpr int PortOpenFailed = 25;

} // namespace

bool PortPermissionNotice::isPermissionError(const App::Error& error)
{
    return error.code == PortOpenFailed && (error.subCode == EACCES || error.subCode == EPERM);
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
    return error.code == PortOpenFailed && error.subCode == EBUSY;
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
