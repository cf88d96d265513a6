#include "communication/modbusdevice.h"

#include "model/errorcodes.h"

#include <QDebug>
#include <QDir>

#include <modbus/modbus.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// How many of our devices hold each tty. An administrator's second open of a tty gets past the
// exclusive flag; the flag is dropped only when the last of ours lets go, so a close never
// takes it from a channel still using the port.
std::mutex linesMutex;
std::map<dev_t, int> heldLines;

void holdLine(dev_t line)
{
    std::lock_guard<std::mutex> lock(linesMutex);
    ++heldLines[line];
}

bool letGoOfLine(dev_t line)
{
    std::lock_guard<std::mutex> lock(linesMutex);
    const auto it = heldLines.find(line);
    if (it == heldLines.end() || --it->second > 0)
        return false;
    heldLines.erase(it);
    return true;
}

// The last close of a tty waits until the device has taken the output, up to the tty's closing
// wait (30 s by default). Discarding the output does not always help: the CDC-ACM driver of
// the controllers' USB ports cannot take back what it has handed to a device that hangs. So
// the descriptor is let go of on a thread of its own, which nobody waits for.
void closeWithoutWaiting(int fd)
{
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
}

void ignoreWakeSignal(int) {}

// A signal without SA_RESTART ends the select() a transfer waits in; the signal itself does
// nothing.
int wakeSignal()
{
    static const int number = [] {
        const int n = SIGRTMIN + 4;
        struct sigaction action = {};
        action.sa_handler = &ignoreWakeSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(n, &action, nullptr);
        return n;
    }();
    return number;
}

// A Modbus exception is a whole, well-formed reply: nothing of it is left on the line.
bool isExceptionReply(int errorNumber)
{
    return errorNumber > MODBUS_ENOBASE && errorNumber < MODBUS_ENOBASE + MODBUS_EXCEPTION_MAX;
}

QString modbusText(int errorNumber)
{
    return QString::fromUtf8(modbus_strerror(errorNumber));
}

// A Modbus exception reply comes back as its exception code, a libmodbus error as its small
// number; system errors stay as they are.
int reducedErrorNumber(int errorNumber)
{
    if (errorNumber >= MODBUS_ENOBASE + 1)
        return errorNumber - MODBUS_ENOBASE;
    return errorNumber;
}

void log(const QString& line)
{
    qDebug().noquote() << line;
}

// An answer must repeat what it can of its request, or it answers another one. A write's echo
// carries its function, first address and count: a late one for the password word looks like
// the clear's but for the address of a command word, and the answer to the password has nothing
// but timing to tell it from the clear's. libmodbus compares the function and the count only. A
// read's answer carries its function and byte count. Returns the error number of an answer that
// is no answer to the request of `unit` whose answer begins with `head` (`headLength` bytes
// from the function on) and is `wholeLength` bytes long with its CRC; 0 for its answer. A
// refusal of our function is a whole answer in step with us and keeps its exception code.
int answerError(quint8 unit, const quint8* head, int headLength, const quint8* answer,
                int length, int wholeLength)
{
    constexpr int RefusalLength = 5; // unit, function | 0x80, exception code, CRC
    if (length < 2 || answer[0] != unit)
        return EMBBADSLAVE;
    if (answer[1] == (head[0] | 0x80)) {
        if (length != RefusalLength || answer[2] >= MODBUS_EXCEPTION_MAX)
            return EMBBADEXC;
        return MODBUS_ENOBASE + answer[2];
    }
    if (length != wholeLength || std::memcmp(answer + 1, head, size_t(headLength)) != 0)
        return EMBBADDATA;
    return 0;
}

} // namespace

// Marks the calling thread as the one in a transfer, so that interrupt() knows whom to wake.
class ModbusDevice::TransferScope
{
public:
    explicit TransferScope(ModbusDevice& device) : device(device)
    {
        std::lock_guard<std::mutex> lock(device.transferMutex);
        device.transferThread = pthread_self();
        device.inTransfer = true;
    }
    ~TransferScope()
    {
        std::lock_guard<std::mutex> lock(device.transferMutex);
        device.inTransfer = false;
    }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    ModbusDevice& device;
};

ModbusDevice::ModbusDevice() = default;

ModbusDevice::~ModbusDevice()
{
    close();
}

QString ModbusDevice::devicePath(const QString& portName)
{
    if (QDir::isAbsolutePath(portName))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

int ModbusDevice::failedWriteResult(int errorNumber)
{
    const int reduced = reducedErrorNumber(errorNumber);
    return reduced > 0 ? -reduced : -3;
}

bool ModbusDevice::open(const PortSettings_t& settings)
{
    close();
    try {
        const QByteArray path = devicePath(settings.portName).toUtf8();
        const char parity = settings.parity == 2 ? 'E' : settings.parity == 3 ? 'O' : 'N';
        const int dataBits =
            settings.dataBits >= 5 && settings.dataBits <= 8 ? settings.dataBits : 8;
        const int stopBits = settings.stopBits == 2 ? 2 : 1;

        context = modbus_new_rtu(path.constData(), settings.baudRate, parity, dataBits, stopBits);
        if (!context)
            throw App::makeError(App::ErrorCode::RtuContext, App::ErrorCode::RtuContextRefused,
                                  modbusText(errno));
        modbus_set_debug(context, 0);
        if (modbus_set_slave(context, settings.slaveAddress) != 0)
            throw App::makeError(App::ErrorCode::RtuContext, App::ErrorCode::RtuContextRefused,
                                  modbusText(errno));
        if (modbus_connect(context) != 0) {
            const int cause = errno;
            throw App::makeError(App::ErrorCode::PortOpen, cause, modbusText(cause));
        }
        takeLine();
        // The port may hold bytes from before we opened it.
        late.clear();
        late.setUnit(settings.slaveAddress);
        drainInput();
        inputSuspect = false;
        {
            std::lock_guard<std::mutex> lock(transferMutex);
            interrupted = false;
        }
        return true;
    } catch (App::Error e) {
        openError = e;
        if (context) {
            modbus_free(context);
            context = nullptr;
        }
        return false;
    }
}

void ModbusDevice::takeLine()
{
    const int fd = modbus_get_socket(context);
    struct stat info = {};
    // Linux lets anyone open a tty that is already open; without the flag two programs would
    // take each other's replies.
    if (fd < 0 || ::fstat(fd, &info) != 0 || ::ioctl(fd, TIOCEXCL) != 0)
        return;
    line = info.st_rdev;
    holdLine(line);
}

void ModbusDevice::releaseLine()
{
    const int fd = modbus_get_socket(context);
    if (fd < 0)
        return;
    // Output a hung USB device never takes would hold the close for the tty's closing wait.
    ::tcflush(fd, TCOFLUSH);
    if (line != 0 && letGoOfLine(line))
        ::ioctl(fd, TIOCNXCL);
    line = 0;
}

void ModbusDevice::close()
{
    if (!context)
        return;
    releaseLine();
    // libmodbus would put back the line settings it found at open; they belong to the tty, not
    // to this descriptor, and would knock out a channel that opened the port after us.
    const int fd = modbus_get_socket(context);
    if (fd >= 0) {
        closeWithoutWaiting(fd);
        modbus_set_socket(context, -1);
    }
    if (interruptedPort >= 0) {
        closeWithoutWaiting(interruptedPort);
        interruptedPort = -1;
    }
    modbus_close(context);
    modbus_free(context);
    context = nullptr;
}

void ModbusDevice::interrupt()
{
    std::lock_guard<std::mutex> lock(transferMutex);
    if (!context)
        return;
    if (!interrupted) {
        interrupted = true;
        releaseLine();
        // A descriptor that always reads end-of-file takes the port's place, so whatever the
        // worker does next on it returns at once. The tty is kept until the close, so that its
        // last close never falls to the worker or to this thread.
        const int fd = modbus_get_socket(context);
        const int dead = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (fd >= 0 && dead >= 0) {
            interruptedPort = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
            ::dup3(dead, fd, O_CLOEXEC);
        }
        if (dead >= 0)
            ::close(dead);
    }
    // A wait that began on the port before the swap ends with the signal. The thread is alive:
    // it cannot leave its transfer while we hold the lock.
    if (inTransfer)
        pthread_kill(transferThread, wakeSignal());
}

void ModbusDevice::setResponseTimeout(int timeoutUs)
{
    // libmodbus refuses a zero time-out and keeps the one it has.
    if (timeoutUs > 0) {
        modbus_set_response_timeout(context, uint32_t(timeoutUs / 1000000),
                                    uint32_t(timeoutUs % 1000000));
        responseTimeoutUs = timeoutUs;
    }
}

bool ModbusDevice::inAddressSpace(int offset, int count)
{
    // The frame carries 16-bit addresses: anything outside would silently wrap onto other
    // registers.
    return offset >= 0 && qint64(offset) + count <= 65536;
}

void ModbusDevice::drainInput()
{
    // What has arrived is read before the flush, so that a whole late answer among it is seen.
    // The flush drops only what the line discipline already holds; bytes the driver is still
    // delivering would survive it. Polling waits for that delivery, so reading until nothing
    // is left empties the whole way.
    const int fd = modbus_get_socket(context);
    quint8 scratch[256];
    for (int pass = 0; pass < 2 && fd >= 0; ++pass) {
        for (int i = 0; i < 64; ++i) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
                break;
            const ssize_t n = ::read(fd, scratch, sizeof scratch);
            if (n <= 0)
                break;
            late.noteStrayBytes(scratch, int(n));
        }
        if (pass == 0)
            modbus_flush(context);
    }
    if (fd < 0)
        modbus_flush(context);
}

void ModbusDevice::discardInput(int errorNumber, const Signature& failed)
{
    // A reply later than the time-out would be taken for the next request of the same
    // signature: RTU read replies carry no address, only function and length, and a write's
    // echo does not tell the password from its clear. A busy controller was seen answering two
    // time-outs after ours ran out, so the quiet asked for is three. A failure without an error
    // number came with a whole reply. Owed first: an answer that has just come pays at once.
    // Whatever came instead of an answer may have been the start of a late one.
    ++failures;
    if (errorNumber != ETIMEDOUT)
        late.restartQuiet();
    if (errorNumber != 0 && !isExceptionReply(errorNumber))
        late.owe(failed, std::chrono::microseconds(qint64(responseTimeoutUs) * LateAnswerTimeouts));
    drainInput();
    inputSuspect = true;
}

void ModbusDevice::prepareFrame(const Signature& next)
{
    if (inputSuspect || !late.isEmpty())
        drainInput();
    inputSuspect = false;
    late.forgetQuiet();
    if (late.quietUntil(next) > Clock::now()) {
        waitForQuietLine(next);
        drainInput();
        late.forget(next);
    }
    late.forgetPartial();
}

void ModbusDevice::waitForQuietLine(const Signature& next)
{
    const int fd = modbus_get_socket(context);
    if (fd < 0)
        return;
    quint8 scratch[256];
    for (;;) {
        // A line that never falls silent must not hold the worker for ever: twice the quiet
        // asked for lets one late answer restart the wait at its very end, and no more. After
        // that the echo check still stands between a stray answer and the next request.
        const Clock::time_point until = late.quietUntil(next);
        const Clock::time_point now = Clock::now();
        if (now >= until)
            return;
        const auto waitMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
        pollfd p{fd, POLLIN, 0};
        // Another process's signal (the upgrade's tools end as children of the program) must not
        // cut the wait short; the device's own interrupt swaps in a port that reads its end at
        // once, which the poll again sees. Silence, a hang-up or an error end it.
        const int ready = ::poll(&p, 1, int(waitMs));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || !(p.revents & POLLIN))
            return;
        const ssize_t n = ::read(fd, scratch, sizeof scratch);
        if (n < 0 && errno == EAGAIN)
            continue;
        if (n <= 0)
            return;
        late.noteStrayBytes(scratch, int(n));
    }
}

int ModbusDevice::exchange(const quint8* request, int length, const Signature& own,
                           quint8* answer)
{
    if (modbus_send_raw_request(context, const_cast<quint8*>(request), length) < 0)
        return -1;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::microseconds(responseTimeoutUs);
    bool shortened = false;
    int received = -1;
    for (;;) {
        received = modbus_receive_confirmation(context, answer);
        // A whole late answer to a frame that failed before, and not one ours could be taken
        // for: what it could pass for is gone with it, and ours is still to come within our
        // time-out.
        if (received <= 0 || !late.settle(answer, received, own))
            break;
        const Clock::time_point now = Clock::now();
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - now).count();
        if (left <= 0) {
            received = -1;
            errno = ETIMEDOUT;
            break;
        }
        modbus_set_response_timeout(context, uint32_t(left / 1000000), uint32_t(left % 1000000));
        shortened = true;
    }
    if (shortened) {
        const int cause = errno;
        modbus_set_response_timeout(context, uint32_t(responseTimeoutUs / 1000000),
                                    uint32_t(responseTimeoutUs % 1000000));
        errno = cause;
    }
    return received;
}

int ModbusDevice::read(int area, int offset, int count, QByteArray* data, int timeoutUs)
{
    TransferScope scope(*this);
    if (!context)
        return -1;
    if (area < Coils || area > InputRegisters)
        return -1;
    setResponseTimeout(timeoutUs);
    if (count < 1)
        return 0;
    if (!data || !inAddressSpace(offset, count))
        return -1;
    return readItems(area, offset, count, data);
}

int ModbusDevice::readChunk(int area, int address, int chunk, quint8* bits, quint16* words)
{
    prepareFrame(LateAnswers::readSignature(area, chunk));
    return readFrame(area, address, chunk, bits, words);
}

int ModbusDevice::readFrame(int area, int address, int chunk, quint8* bits, quint16* words)
{
    const bool bitArea = area == Coils || area == DiscreteInputs;
    const Signature own = LateAnswers::readSignature(area, chunk);
    const int bytes = own.count;
    const quint8 request[] = {quint8(modbus_get_slave(context)), quint8(area),
                              quint8(address >> 8), quint8(address & 0xFF), quint8(chunk >> 8),
                              quint8(chunk & 0xFF)};
    quint8 answer[MODBUS_RTU_MAX_ADU_LENGTH];
    const int received = exchange(request, int(sizeof request), own, answer);
    if (received < 0)
        return -1;
    const quint8 head[] = {quint8(area), quint8(bytes)};
    const int error = answerError(request[0], head, 2, answer, received, 5 + bytes);
    if (error != 0) {
        errno = error;
        return -1;
    }
    const quint8* data = answer + 3;
    for (int i = 0; i < chunk; ++i) {
        if (bitArea)
            bits[i] = quint8((data[i / 8] >> (i % 8)) & 1);
        else
            words[i] = quint16((data[2 * i] << 8) | data[2 * i + 1]);
    }
    return chunk;
}

int ModbusDevice::readItems(int area, int offset, int count, QByteArray* data)
{
    quint8 bits[MaxReadItems];
    quint16 words[MaxReadItems];
    const int tries = area == InputRegisters ? InputRegisterTries : 1;
    const bool bitArea = area == Coils || area == DiscreteInputs;
    const int bytesPerItem = bitArea ? 1 : 2;
    // One allocation for the whole range; a request that reuses its buffer makes none.
    data->reserve(data->size() + count * bytesPerItem);
    int done = 0;
    int address = offset;
    while (done < count) {
        const int chunk = qMin(count - done, MaxReadItems);
        int rc = -1;
        for (int attempt = 0; attempt < tries; ++attempt) {
            rc = readChunk(area, address, chunk, bits, words);
            // A chunk that brings nothing would never finish the loop.
            if (rc >= 1 && rc <= chunk)
                break;
            const int errorNumber = rc < 0 ? errno : 0;
            logReadFailure(area, rc, count, address, chunk, done);
            discardInput(errorNumber, LateAnswers::readSignature(area, chunk));
            rc = -1;
        }
        if (rc < 1)
            return -3;

        const int at = data->size();
        data->resize(at + rc * bytesPerItem);
        char* out = data->data() + at;
        if (bitArea) {
            std::memcpy(out, bits, size_t(rc));
        } else {
            for (int i = 0; i < rc; ++i) {
                out[2 * i] = char(words[i] & 0xFF);
                out[2 * i + 1] = char(words[i] >> 8);
            }
        }
        done += rc;
        address += rc;
    }
    return done;
}

void ModbusDevice::logReadFailure(int area, int rc, int count, int address, int chunk,
                                  int done) const
{
    if (area == InputRegisters) {
        log(QStringLiteral("IoDevice [RDIR], Read:=%1, from=%2, count=%3, already=%4, RESULT[%5]")
                .arg(rc).arg(address).arg(chunk).arg(done).arg(rc));
        return;
    }
    const char* tag = area == HoldingRegisters ? "RDR" : area == DiscreteInputs ? "RDI" : "RDC";
    log(QStringLiteral("IoDevice [%1], Read:=%2, from=%3, off=%4, RESULT[%5]")
            .arg(QLatin1String(tag)).arg(rc).arg(count).arg(address).arg(rc));
}

int ModbusDevice::write(int area, int offset, int count, const QByteArray* data, int timeoutUs,
                        int attempts)
{
    TransferScope scope(*this);
    if (!context)
        return -1;
    if (area != WriteCoils && area != WriteRegisters)
        return -1;
    setResponseTimeout(timeoutUs);
    if (count < 1)
        return 0;
    if (!inAddressSpace(offset, count))
        return -1;
    static const QByteArray none;
    const QByteArray& bytes = data ? *data : none;
    if (area == WriteCoils)
        return writeCoils(offset, count, bytes);
    return writeRegisters(offset, count, bytes, qMax(attempts, 1));
}

int ModbusDevice::writeRegisters(int offset, int count, const QByteArray& data, int attempts)
{
    // A short buffer is refused before anything goes out, so the device never keeps half of
    // an image.
    if (data.size() / 2 < count) {
        log(QStringLiteral("IoDevice [WRR], Not enough data: offset=%1, size=%2")
                .arg(0).arg(data.size()));
        return -2;
    }

    quint16 words[MaxWriteItems];
    const auto* bytes = reinterpret_cast<const quint8*>(data.constData());
    int done = 0;
    int address = offset;
    while (done < count) {
        const int chunk = qMin(count - done, MaxWriteItems);
        for (int i = 0; i < chunk; ++i) {
            const int at = (done + i) * 2;
            words[i] = quint16(bytes[at] | (bytes[at + 1] << 8));
        }

        int rc = -1;
        int errorNumber = 0;
        const Signature frame{MODBUS_FC_WRITE_MULTIPLE_REGISTERS, address, chunk};
        for (int attempt = 0; attempt < attempts; ++attempt) {
            prepareFrame(frame);
            rc = writeFrame(MODBUS_FC_WRITE_MULTIPLE_REGISTERS, address, chunk, words, nullptr);
            if (rc >= 1 && rc <= chunk)
                break;
            // A result that is no failure but brings no count leaves no error number behind.
            const int rawError = rc < 0 ? errno : 0;
            refusals += isExceptionReply(rawError) ? 1 : 0;
            errorNumber = reducedErrorNumber(rawError);
            log(QStringLiteral("IoDevice [WRR], Write:=%1, from=%2. raw off=%3, off=%4, "
                               "RESULT[%5, EXCMB: %6], Try again %7")
                    .arg(chunk).arg(count).arg(done).arg(address).arg(rc).arg(errorNumber)
                    .arg(attempt));
            discardInput(rawError, frame);
            rc = -1;
        }
        if (rc < 1)
            return failedWriteResult(errorNumber);

        // Written for every frame of an image: printf-style, with no strings built for it and
        // no debug stream.
        qDebug("IoDevice [WRR], Write:=%d, from=%d. raw off=%d, off=%d", chunk, count, done,
               address);
        done += rc;
        address += rc;
    }
    return done;
}

int ModbusDevice::writeCoils(int offset, int count, const QByteArray& data)
{
    if (data.size() < count) {
        log(QStringLiteral("IoDevice [WRC], Not enough data: offset=%1, size=%2")
                .arg(0).arg(data.size()));
        return -2;
    }

    const auto* bits = reinterpret_cast<const quint8*>(data.constData());
    int done = 0;
    int address = offset;
    while (done < count) {
        const int chunk = qMin(count - done, MaxWriteItems);
        const Signature frame{MODBUS_FC_WRITE_MULTIPLE_COILS, address, chunk};
        prepareFrame(frame);
        const int rc =
            writeFrame(MODBUS_FC_WRITE_MULTIPLE_COILS, address, chunk, nullptr, bits + done);
        if (rc < 1 || rc > chunk) {
            const int errorNumber = rc < 0 ? errno : 0;
            refusals += isExceptionReply(errorNumber) ? 1 : 0;
            log(QStringLiteral("IoDevice [WRC], Write:=%1, from=%2. raw off=%3, off=%4, "
                               "RESULT[%5]")
                    .arg(chunk).arg(count).arg(done).arg(address).arg(rc));
            discardInput(errorNumber, frame);
            return -3;
        }
        done += rc;
        address += rc;
    }
    return done;
}

int ModbusDevice::writeFrame(int function, int address, int count, const quint16* words,
                             const quint8* bits)
{
    // Unit, function, address, count, byte count, data; libmodbus adds the CRC.
    quint8 request[MODBUS_MAX_PDU_LENGTH + 1];
    int length = 0;
    request[length++] = quint8(modbus_get_slave(context));
    request[length++] = quint8(function);
    request[length++] = quint8(address >> 8);
    request[length++] = quint8(address & 0xFF);
    request[length++] = quint8(count >> 8);
    request[length++] = quint8(count & 0xFF);
    if (words) {
        request[length++] = quint8(count * 2);
        for (int i = 0; i < count; ++i) {
            request[length++] = quint8(words[i] >> 8);
            request[length++] = quint8(words[i] & 0xFF);
        }
    } else {
        const int bytes = (count + 7) / 8;
        request[length++] = quint8(bytes);
        std::memset(request + length, 0, size_t(bytes));
        for (int i = 0; i < count; ++i) {
            if (bits[i])
                request[length + i / 8] |= quint8(1 << (i % 8));
        }
        length += bytes;
    }
    quint8 answer[MODBUS_RTU_MAX_ADU_LENGTH];
    const int received = exchange(request, length, {function, address, count}, answer);
    if (received < 0)
        return -1;
    constexpr int EchoLength = 8; // unit, function, address, count, CRC
    const int error = answerError(request[0], request + 1, 5, answer, received, EchoLength);
    if (error != 0) {
        if (!isExceptionReply(error)) {
            qDebug("IoDevice [ECHO], Asked=%s, Answer=%s",
                   QByteArray(reinterpret_cast<const char*>(request), 6).toHex().constData(),
                   QByteArray(reinterpret_cast<const char*>(answer), qMax(received, 0))
                       .toHex()
                       .constData());
        }
        errno = error;
        return -1;
    }
    return count;
}
