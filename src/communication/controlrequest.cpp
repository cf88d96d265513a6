#include "communication/controlrequest.h"

#include "catalogue/settingsprovider.h"
#include "communication/iodevice.h"
#include "model/errorcodes.h"

#include <QDebug>

using namespace App::ErrorCode;

ControlRequest::ControlRequest(Callback_t callback, int priority)
    : Request(std::move(callback), priority)
{
}

bool ControlRequest::findRegisters(ProtoEntry* command, ProtoEntry* password)
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    return catalogue.sysEntry(QStringLiteral("command"), command)
        && catalogue.sysEntry(QStringLiteral("password"), password);
}

QSharedPointer<ControlRequest> ControlRequest::passwordClear(const ProtoEntry& command,
                                                             const ProtoEntry& password,
                                                             Callback_t callback, int priority)
{
    QSharedPointer<ControlRequest> clear(new ControlRequest(std::move(callback), priority));
    clear->makeClear(command, password);
    return clear;
}

void ControlRequest::makeClear(const ProtoEntry& command, const ProtoEntry& password)
{
    setRegisters(command, password);
    setSendPassword(true);
    setSendCommand(false);
    setPassword(ClearPassword);
    setAttempts(ClearTries);
}

bool ControlRequest::isPasswordClear() const
{
    return m_sendPassword && !m_sendCommand && m_passwordData == word(ClearPassword);
}

void ControlRequest::setRegisters(const ProtoEntry& command, const ProtoEntry& password)
{
    m_commandRegister = command;
    m_passwordRegister = password;
}

QByteArray ControlRequest::word(int value)
{
    QByteArray data(2, '\0');
    data[0] = char(value & 0xFF);
    data[1] = char((value >> 8) & 0xFF);
    return data;
}

void ControlRequest::setCommand(int value)
{
    m_commandData = word(value);
}

void ControlRequest::setPassword(int value)
{
    m_passwordData = word(value);
}

bool ControlRequest::writeWord(IoDevice& device, const char* tag, const ProtoEntry& entry,
                               const QByteArray& data)
{
    // Printf-style: these lines stand between the frames of every write sequence.
    qDebug("ControlRequest %s [Command=%u, Offset=%u, Register =%u], Data= %s", tag, entry.wcmd,
           entry.offset, entry.registers, data.toHex().constData());
    const quint64 refusedBefore = device.refusedWrites();
    const int rc = device.write(int(entry.wcmd), int(entry.offset), int(entry.registers), &data,
                                timeoutUs(), attempts());
    qDebug("ControlRequest %s [Command=%u, Result=%d]:", tag, entry.wcmd, rc);
    if (rc < 0) {
        error().set(RequestFailed, RequestControlWriteFailed, rc);
        // The result alone cannot tell: a small system error number reads as an exception code.
        refused = device.refusedWrites() - refusedBefore >= quint64(qMax(attempts(), 1));
        return false;
    }
    return true;
}

int ControlRequest::doRequest(IoDevice& device)
{
    // Every run reports on its own handshake, also one that sends nothing.
    error().reset();
    refused = false;
    if (starts)
        starts->store(true);
    // The controller takes a command only under the password; without it the command is not sent.
    if (m_sendPassword && !writeWord(device, "PASS", m_passwordRegister, m_passwordData))
        return 1;
    if (m_sendCommand && !writeWord(device, "CMD", m_commandRegister, m_commandData))
        return 1;
    if (opens)
        opens->store(true);
    return 0;
}

void ControlRequest::notify()
{
    complete();
}

QList<QSharedPointer<Resource>> ControlRequest::resources() const
{
    return {};
}
