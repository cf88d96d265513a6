#pragma once

#include "communication/request.h"

// The device-control handshake: the password word, then, only when the controller took it, the
// command word, each one holding register written with function 16, each tried `attempts()` times.
class ControlRequest : public Request
{
public:
    // Only the low 16 bits of each word are sent.
    static constexpr int DevicePassword = 23517;
    static constexpr int ClearPassword = 0;
    static constexpr int SystemChanged = 101;
    static constexpr int ResourcesChanged = 102;
    static constexpr int MonitoringStarted = 103;
    static constexpr int MonitoringStopped = 104;
    static constexpr int FirmwareSwitch = 111;
    // A controller left with the password set stays open to any writer: the word that clears it
    // is tried this often, as input-register reads are.
    static constexpr int ClearTries = 3;

    ControlRequest(Callback_t callback, int priority);

    // The catalogue's password and command registers; false when either is missing.
    static bool findRegisters(ProtoEntry* command, ProtoEntry* password);
    // A request that only clears the password, tried ClearTries times.
    static QSharedPointer<ControlRequest> passwordClear(const ProtoEntry& command,
                                                        const ProtoEntry& password,
                                                        Callback_t callback, int priority);

    // A failed password write sets {1, 1822, result} and suppresses the command; a failed command
    // write sets the same. Returns 1 on failure, 0 otherwise.
    int doRequest(IoDevice& device) override;
    void notify() override;
    QList<QSharedPointer<Resource>> resources() const override;
    bool isPasswordClear() const override;

    // Command register first.
    void setRegisters(const ProtoEntry& command, const ProtoEntry& password);
    void setCommand(int value);
    void setPassword(int value);
    void setSendCommand(bool send) { m_sendCommand = send; }
    void setSendPassword(bool send) { m_sendPassword = send; }
    // Opened when every word of the request was taken.
    void setOpens(Gate_t gate) { opens = std::move(gate); }
    // Opened as the request starts to run: from then on its first word may reach the device.
    void setStarts(Gate_t gate) { starts = std::move(gate); }

    // After a failed run: the controller answered every try of the word that failed with a Modbus
    // exception. It is there and said no; the same word sent again at once meets the same answer.
    bool wasRefused() const { return refused; }

    bool sendCommand() const { return m_sendCommand; }
    bool sendPassword() const { return m_sendPassword; }
    const ProtoEntry& passwordRegister() const { return m_passwordRegister; }
    const ProtoEntry& commandRegister() const { return m_commandRegister; }
    const QByteArray& passwordData() const { return m_passwordData; }
    const QByteArray& commandData() const { return m_commandData; }

protected:
    // Sets the request up to clear the password only, tried ClearTries times.
    void makeClear(const ProtoEntry& command, const ProtoEntry& password);

private:
    bool writeWord(IoDevice& device, const char* tag, const ProtoEntry& entry,
                   const QByteArray& data);
    static QByteArray word(int value);

    bool m_sendCommand = true;
    bool m_sendPassword = false;
    ProtoEntry m_passwordRegister;
    ProtoEntry m_commandRegister;
    QByteArray m_passwordData;
    QByteArray m_commandData;
    Gate_t opens;
    Gate_t starts;
    bool refused = false;
};
