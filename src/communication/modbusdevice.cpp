#include "communication/modbusdevice.h"

#include <QDebug>
#include <QDir>

#include <modbus/modbus.h>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

App::Error modbusError(qint32 code, qint32 subCode, int errorNumber)
{
    App::Error e;
    e.code = code;
    e.subCode = subCode;
    e.text = QString::fromUtf8(modbus_strerror(errorNumber));
    return e;
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

} // namespace

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
            throw modbusError(21, 24, errno);
        modbus_set_debug(context, 0);
        if (modbus_set_slave(context, settings.slaveAddress) != 0)
            throw modbusError(21, 24, errno);
        if (modbus_connect(context) != 0) {
            const int cause = errno;
            throw modbusError(25, cause, cause);
        }
        // The port may hold bytes from before we opened it.
        drainInput();
        inputSuspect = false;
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

void ModbusDevice::close()
{
    if (!context)
        return;
    modbus_close(context);
    modbus_free(context);
    context = nullptr;
}

void ModbusDevice::setResponseTimeout(int timeoutUs)
{
    // libmodbus refuses a zero time-out and keeps the one it has.
    if (timeoutUs > 0)
        modbus_set_response_timeout(context, uint32_t(timeoutUs / 1000000),
                                    uint32_t(timeoutUs % 1000000));
}

bool ModbusDevice::inAddressSpace(int offset, int count)
{
    // The frame carries 16-bit addresses: anything outside would silently wrap onto other
    // registers.
    return offset >= 0 && qint64(offset) + count <= 65536;
}

void ModbusDevice::drainInput()
{
    modbus_flush(context);
    // The flush drops only what the line discipline already holds; bytes the driver is still
    // delivering would survive it. Polling waits for that delivery, so reading until nothing
    // is left empties the whole way.
    const int fd = modbus_get_socket(context);
    if (fd < 0)
        return;
    char scratch[256];
    for (int i = 0; i < 64; ++i) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
            break;
        if (::read(fd, scratch, sizeof scratch) <= 0)
            break;
    }
}

void ModbusDevice::discardInput()
{
    drainInput();
    inputSuspect = true;
}

void ModbusDevice::discardStaleInput()
{
    if (!inputSuspect)
        return;
    drainInput();
    inputSuspect = false;
}

int ModbusDevice::read(int area, int offset, int count, QByteArray* data, int timeoutUs)
{
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
    discardStaleInput();
    switch (area) {
    case Coils:
        return modbus_read_bits(context, address, chunk, bits);
    case DiscreteInputs:
        return modbus_read_input_bits(context, address, chunk, bits);
    case HoldingRegisters:
        return modbus_read_registers(context, address, chunk, words);
    default:
        return modbus_read_input_registers(context, address, chunk, words);
    }
}

int ModbusDevice::readItems(int area, int offset, int count, QByteArray* data)
{
    quint8 bits[MaxReadItems];
    quint16 words[MaxReadItems];
    const int tries = area == InputRegisters ? InputRegisterTries : 1;
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
            logReadFailure(area, rc, count, address, chunk, done);
            discardInput();
            rc = -1;
        }
        if (rc < 1)
            return -3;

        if (area == Coils || area == DiscreteInputs) {
            data->append(reinterpret_cast<const char*>(bits), rc);
        } else {
            for (int i = 0; i < rc; ++i) {
                data->append(char(words[i] & 0xFF));
                data->append(char(words[i] >> 8));
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
        for (int attempt = 0; attempt < attempts; ++attempt) {
            discardStaleInput();
            rc = modbus_write_registers(context, address, chunk, words);
            if (rc >= 1 && rc <= chunk)
                break;
            // A result that is no failure but brings no count leaves no error number behind.
            errorNumber = rc < 0 ? reducedErrorNumber(errno) : 0;
            log(QStringLiteral("IoDevice [WRR], Write:=%1, from=%2. raw off=%3, off=%4, "
                               "RESULT[%5, EXCMB: %6], Try again %7")
                    .arg(chunk).arg(count).arg(done).arg(address).arg(rc).arg(errorNumber)
                    .arg(attempt));
            discardInput();
            rc = -1;
        }
        if (rc < 1)
            return failedWriteResult(errorNumber);

        log(QStringLiteral("IoDevice [WRR], Write:=%1, from=%2. raw off=%3, off=%4")
                .arg(chunk).arg(count).arg(done).arg(address));
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
        discardStaleInput();
        const int rc = modbus_write_bits(context, address, chunk, bits + done);
        if (rc < 1 || rc > chunk) {
            log(QStringLiteral("IoDevice [WRC], Write:=%1, from=%2. raw off=%3, off=%4, "
                               "RESULT[%5]")
                    .arg(chunk).arg(count).arg(done).arg(address).arg(rc));
            discardInput();
            return -3;
        }
        done += rc;
        address += rc;
    }
    return done;
}
