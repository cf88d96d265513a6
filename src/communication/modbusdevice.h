#pragma once

#include "model/apperror.h"
#include "communication/iodevice.h"
#include "communication/lateanswers.h"
#include "communication/portsettings.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <mutex>

#include <pthread.h>
#include <sys/types.h>

typedef struct _modbus modbus_t;

// The Modbus RTU master behind one serial port. The channel opens and closes it on the GUI thread
// while no worker runs; the worker thread alone calls read and write. It has no lock of its own.
class ModbusDevice final : public IoDevice
{
public:
    // Areas as the register map names them: reads by function code, writes by the single-item
    // code although the multiple-item functions (15, 16) always go out.
    enum Area { Coils = 1, DiscreteInputs = 2, HoldingRegisters = 3, InputRegisters = 4,
                WriteCoils = 5, WriteRegisters = 6 };

    static constexpr int MaxReadItems = 125;
    static constexpr int MaxWriteItems = 100;
    static constexpr int InputRegisterTries = 3;
    // A frame that a late answer to a failed one could pass for first waits until the line has
    // been quiet for this many of the failed frame's time-outs, and at most twice as long in all.
    static constexpr int LateAnswerTimeouts = 3;

    ModbusDevice();
    ~ModbusDevice();
    ModbusDevice(const ModbusDevice&) = delete;
    ModbusDevice& operator=(const ModbusDevice&) = delete;

    // On failure the device stays closed and keeps the error: {21, 24} when the RTU context
    // cannot be made or set up, {25, errno} when the port cannot be opened or configured.
    // The port is taken exclusively: a second opener (another program, a probing service) fails
    // with EBUSY instead of interleaving its frames with ours.
    bool open(const PortSettings_t& settings);
    // Never restores the line settings found at open (they belong to the tty, and another
    // channel may be using it by now) and never waits for output the device does not take.
    void close();
    // Any thread, while the device is open: the transfer in progress returns at once and every
    // later one fails at once, until the device is closed. Pending output is discarded.
    void interrupt();
    bool isOpen() const { return context != nullptr; }

    // The error of the last failed open; a later successful open leaves it in place.
    const App::Error& lastOpenError() const { return openError; }
    qint32 errorCode() const { return openError.code; }
    qint32 errorSubCode() const { return openError.subCode; }
    QString errorText() const { return openError.text; }

    // "/dev/" + name, or the name itself when it already is an absolute path.
    static QString devicePath(const QString& portName);
    // What a register write returns when every attempt of a chunk failed with `errorNumber`
    // (errno): the negated exception code or error number; -3 when there is none to give.
    static int failedWriteResult(int errorNumber);

    int read(int area, int offset, int count, QByteArray* data, int timeoutUs) override;
    int write(int area, int offset, int count, const QByteArray* data, int timeoutUs,
              int attempts) override;
    quint64 failedFrames() const override { return failures; }
    quint64 refusedWrites() const override { return refusals; }

private:
    using Clock = LateAnswers::Clock;
    using Signature = LateAnswers::Signature;

    int readItems(int area, int offset, int count, QByteArray* data);
    int readChunk(int area, int address, int chunk, quint8* bits, quint16* words);
    void logReadFailure(int area, int rc, int count, int address, int chunk, int done) const;
    int writeRegisters(int offset, int count, const QByteArray& data, int attempts);
    int writeCoils(int offset, int count, const QByteArray& data);
    // One function-15 or -16 frame (`words` or `bits`); an answer that does not echo it fails
    // like a broken one, with errno set as libmodbus sets it.
    int writeFrame(int function, int address, int count, const quint16* words,
                   const quint8* bits);
    // One read frame of `area`'s function, checked as libmodbus checks it.
    int readFrame(int area, int address, int chunk, quint8* bits, quint16* words);
    // Sends `request` (unit and PDU) and receives its answer into `answer`: its length, 0 for
    // another unit's, -1 with errno. A whole late answer to a failed frame is dropped on the way.
    int exchange(const quint8* request, int length, const Signature& own, quint8* answer);
    void setResponseTimeout(int timeoutUs);
    static bool inAddressSpace(int offset, int count);
    // A failed transfer may leave the rest of a reply (or a late one) in the input; it is
    // discarded now and once more before the next transfer, so it never passes for a reply.
    // A failure that may have its answer still on its way (`errorNumber`, errno of the
    // transfer) is owed that answer.
    void discardInput(int errorNumber, const Signature& failed);
    // Before a frame: stale input goes, and when a late answer owed could pass for the frame's,
    // the line must first have been quiet for LateAnswerTimeouts of that failed frame's
    // response time-outs.
    void prepareFrame(const Signature& next);
    void drainInput();
    void waitForQuietLine(const Signature& next);
    void takeLine();
    void releaseLine();

    class TransferScope;

    modbus_t* context = nullptr;
    App::Error openError;
    bool inputSuspect = false;
    quint64 failures = 0;
    quint64 refusals = 0;
    int responseTimeoutUs = 0;
    LateAnswers late;
    // The tty held exclusively, 0 when none is.
    dev_t line = 0;
    // The port's descriptor after an interrupt put another in its place; -1 when none is.
    int interruptedPort = -1;

    // Guards the fields below: the worker marks its transfers, the closing side interrupts them.
    std::mutex transferMutex;
    pthread_t transferThread{};
    bool inTransfer = false;
    bool interrupted = false;
};
