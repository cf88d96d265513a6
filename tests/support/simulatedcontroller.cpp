#include "support/simulatedcontroller.h"

#include "catalogue/settingsprovider.h"
#include "model/crc16.h"

#include <QDataStream>
#include <QFile>

#include <modbus/modbus.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int AddressSpace = 65536;
constexpr int TableCoils = 1;
constexpr int TableDiscreteInputs = 2;
constexpr int TableHolding = 3;
constexpr int TableInput = 4;

int tableOf(const ProtoEntry& entry)
{
    switch (entry.rcmd != 0 ? entry.rcmd : entry.wcmd) {
    case 1:
    case 5:
    case 15:
        return TableCoils;
    case 2:
        return TableDiscreteInputs;
    case 3:
    case 6:
    case 16:
        return TableHolding;
    case 4:
        return TableInput;
    default:
        return 0;
    }
}

bool isBitTable(int table)
{
    return table == TableCoils || table == TableDiscreteInputs;
}


QVector<quint16> bytesToWords(const QByteArray& bytes)
{
    QVector<quint16> words;
    for (int i = 0; i < bytes.size(); i += 2) {
        const quint8 low = quint8(bytes[i]);
        const quint8 high = i + 1 < bytes.size() ? quint8(bytes[i + 1]) : 0;
        words.append(quint16(low | (high << 8)));
    }
    return words;
}

class LittleEndianWriter
{
public:
    explicit LittleEndianWriter(QByteArray* bytes) : out(bytes, QIODevice::WriteOnly | QIODevice::Append)
    {
        out.setByteOrder(QDataStream::LittleEndian);
        out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    }
    template <typename T> LittleEndianWriter& operator<<(T value)
    {
        out << value;
        return *this;
    }

private:
    QDataStream out;
};

QByteArray cpuRecord(const SimulatedController::BusDevice& device, bool controller, int address)
{
    QByteArray record;
    LittleEndianWriter w(&record);
    w << quint32(device.type) << qint16(2) << qint16(0);
    // Identity sub-block.
    w << qint16(0) << qint16(44) << quint32(device.type) << quint8(0) << quint8(0)
      << quint8(controller ? address : 0) << quint8(0) << quint32(0) << quint32(0) << quint32(0)
      << quint8(device.revision & 0xFF) << quint8(0) << quint8(0) << quint8(0) << 0.0f << 0.0f
      << (controller ? 12.0f : 0.0f) << (controller ? 3.3f : 0.0f) << 0.0f;
    // Serial numbers sub-block.
    w << qint16(2) << qint16(14) << device.serial << device.id << device.aux << device.state;
    return record;
}

} // namespace

bool SimulatedController::openPort()
{
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    if (openpty(&masterFd, &slaveFd, name, &raw, nullptr) != 0) {
        masterFd = slaveFd = -1;
        return false;
    }
    fcntl(masterFd, F_SETFD, FD_CLOEXEC);
    fcntl(slaveFd, F_SETFD, FD_CLOEXEC);
    pty = QString::fromLocal8Bit(name);
    const QString named = dir.filePath(QStringLiteral("ttySIM"));
    QFile::remove(named);
    link = dir.isValid() && QFile::link(pty, named) ? named : pty;
    return true;
}

SimulatedController::SimulatedController(int slaveAddress) : slave(slaveAddress)
{
    if (!openPort())
        return;

    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);

    mapping = modbus_mapping_new(AddressSpace, AddressSpace, AddressSpace, AddressSpace);
    server = modbus_new_rtu("/dev/null", 115200, 'N', 8, 2);
    if (!mapping || !server)
        return;
    modbus_set_slave(server, slave);
    modbus_set_socket(server, masterFd);
    // Short waits keep the stop flag responsive; the short response time-out limits how long
    // libmodbus waits for "the other slave's reply" after a request for another unit.
    modbus_set_indication_timeout(server, 0, 20000);
    modbus_set_response_timeout(server, 0, 20000);
    modbus_set_byte_timeout(server, 0, 50000);

    thread = std::thread(&SimulatedController::serve, this);
}

SimulatedController::~SimulatedController()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    if (thread.joinable())
        thread.join();
    if (server)
        modbus_free(server);
    if (mapping)
        modbus_mapping_free(mapping);
    for (int fd : {masterFd, slaveFd, pipeFds[0], pipeFds[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool SimulatedController::isRunning() const
{
    return thread.joinable();
}

QString SimulatedController::portPath() const
{
    return link;
}

QString SimulatedController::ptyName() const
{
    return pty;
}

void SimulatedController::serve()
{
    quint8 query[MODBUS_RTU_MAX_ADU_LENGTH];
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping)
                return;
            if (vanishRequested) {
                ::close(masterFd);
                masterFd = -1;
                modbus_set_socket(server, -1);
                vanished = true;
                changed.notify_all();
                return;
            }
        }
        const int rc = modbus_receive(server, query);
        if (rc > 0) {
            handle(query, rc);
        } else if (rc < 0 && errno != ETIMEDOUT && errno != EMBBADCRC) {
            // Keep a broken descriptor from spinning the loop.
            sleepUnlessStopped(5);
        }
    }
}

SimulatedController::Served SimulatedController::parse(const quint8* query, int length)
{
    Served s;
    if (length < 2)
        return s;
    s.function = query[1];
    if (length < 6)
        return s;
    s.address = (query[2] << 8) | query[3];
    const int word = (query[4] << 8) | query[5];
    switch (s.function) {
    case MODBUS_FC_WRITE_SINGLE_COIL:
        s.count = 1;
        s.values.append(word == 0xFF00 ? 1 : 0);
        break;
    case MODBUS_FC_WRITE_SINGLE_REGISTER:
        s.count = 1;
        s.values.append(quint16(word));
        break;
    case MODBUS_FC_WRITE_MULTIPLE_COILS:
        s.count = word;
        for (int i = 0; i < word && 7 + i / 8 < length; ++i)
            s.values.append((query[7 + i / 8] >> (i % 8)) & 1);
        break;
    case MODBUS_FC_WRITE_MULTIPLE_REGISTERS:
        s.count = word;
        for (int i = 0; i < word && 8 + 2 * i < length; ++i)
            s.values.append(quint16((query[7 + 2 * i] << 8) | query[8 + 2 * i]));
        break;
    default:
        s.count = word;
        break;
    }
    return s;
}

SimulatedController::Fault SimulatedController::takeFault(const Served& request, int* parameter)
{
    if (plan.fault == Fault::None || plan.times == 0)
        return Fault::None;
    if ((plan.function != 0 && plan.function != request.function)
        || (plan.address >= 0 && plan.address != request.address))
        return Fault::None;
    if (plan.skip > 0) {
        --plan.skip;
        return Fault::None;
    }
    if (plan.percent > 0 && int(noise() % 100) >= plan.percent)
        return Fault::None;
    if (plan.times > 0)
        --plan.times;
    if (plan.every > 0)
        plan.skip = plan.every - 1;
    *parameter = plan.parameter;
    return plan.fault;
}

QByteArray SimulatedController::normalReply(const quint8* query, int length)
{
    // libmodbus builds the reply (and applies a write) into a pipe, so that it can be changed
    // before it reaches the wire.
    modbus_set_socket(server, pipeFds[1]);
    const int sent = modbus_reply(server, query, length, mapping);
    modbus_set_socket(server, masterFd);
    QByteArray bytes;
    if (sent <= 0)
        return bytes;
    char buffer[MODBUS_RTU_MAX_ADU_LENGTH];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        bytes.append(buffer, int(n));
    return bytes;
}

void SimulatedController::handle(const quint8* query, int length)
{
    Served entry = parse(query, length);
    QByteArray reply;
    int delayMs = 0;
    bool replacing = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        int parameter = 0;
        entry.fault = takeFault(entry, &parameter);
        log.append(entry);
        replacing = successorDue && entry.fault != Fault::None;
        successorDue = successorDue && !replacing;
        switch (entry.fault) {
        case Fault::NoReply:
            break;
        case Fault::StaleEcho: // unit, function, address, count, CRC
            if (length >= 6) {
                reply = QByteArray(reinterpret_cast<const char*>(query), 6);
                const quint16 check = crc16(reinterpret_cast<const quint8*>(reply.data()), 6);
                reply.append(char(check >> 8)).append(char(check & 0xFF));
            }
            break;
        case Fault::Vanish:
            vanishRequested = true;
            break;
        case Fault::Replaced: {
            ProtoEntry entry;
            if (!bus.isEmpty() && SettingsProvider::instance().sysEntry("korcpu", &entry)) {
                bus[0].serial = quint32(parameter);
                storeTable(tableOf(entry), int(entry.offset), cpuBlock(bus, slave), false);
            }
            reply = normalReply(query, length);
            break;
        }
        case Fault::Exception: {
            modbus_set_socket(server, pipeFds[1]);
            const int sent =
                modbus_reply_exception(server, query, unsigned(parameter > 0 ? parameter : 4));
            modbus_set_socket(server, masterFd);
            char buffer[MODBUS_RTU_MAX_ADU_LENGTH];
            ssize_t n;
            while (sent > 0 && (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
                reply.append(buffer, int(n));
            break;
        }
        default:
            reply = normalReply(query, length);
            break;
        }
        if (!reply.isEmpty()) {
            switch (entry.fault) {
            case Fault::BadCrc:
                reply[reply.size() - 1] = char(~quint8(reply[reply.size() - 1]));
                break;
            case Fault::Truncated:
                reply.chop(qMin(3, reply.size() - 1));
                break;
            case Fault::Garbage:
                reply.prepend(QByteArray(parameter > 0 ? parameter : 3, char(0xFF)));
                break;
            case Fault::Delay:
            case Fault::Busy:
                delayMs = parameter;
                break;
            case Fault::OtherAddress: // unit, function, address, count, CRC
                if (reply.size() == 8) {
                    reply[3] = char(reply[3] + 1);
                    const quint16 check = crc16(reinterpret_cast<const quint8*>(reply.data()), 6);
                    reply[6] = char(check >> 8);
                    reply[7] = char(check & 0xFF);
                }
                break;
            default:
                break;
            }
        }
    }
    if (delayMs > 0)
        sleepUnlessStopped(delayMs);
    if (entry.fault == Fault::Busy && masterFd >= 0)
        ::tcflush(masterFd, TCIFLUSH);
    if (!reply.isEmpty())
        sendRaw(reply);
    // Before the next request is read.
    if (replacing)
        setBus(successor);
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++handled;
    }
    changed.notify_all();
}

void SimulatedController::sendRaw(const QByteArray& bytes)
{
    int done = 0;
    while (masterFd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(masterFd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += int(n);
    }
}

bool SimulatedController::sleepUnlessStopped(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return !changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
}

bool SimulatedController::writeTable(int table, int address, const QByteArray& bytes, bool bits)
{
    std::lock_guard<std::mutex> lock(mutex);
    return storeTable(table, address, bytes, bits);
}

bool SimulatedController::storeTable(int table, int address, const QByteArray& bytes, bool bits)
{
    if (!mapping || table == 0 || address < 0 || address >= AddressSpace)
        return false;
    if (bits) {
        quint8* dest = table == TableCoils ? mapping->tab_bits : mapping->tab_input_bits;
        const int n = qMin(bytes.size(), AddressSpace - address);
        for (int i = 0; i < n; ++i)
            dest[address + i] = bytes[i] != 0 ? 1 : 0;
        return true;
    }
    quint16* dest = table == TableHolding ? mapping->tab_registers : mapping->tab_input_registers;
    const QVector<quint16> words = bytesToWords(bytes);
    const int n = qMin(words.size(), AddressSpace - address);
    for (int i = 0; i < n; ++i)
        dest[address + i] = words[i];
    return true;
}

QByteArray SimulatedController::readTable(int table, int address, int count, bool bits) const
{
    QByteArray bytes;
    if (!mapping || table == 0 || address < 0 || address >= AddressSpace || count < 1)
        return bytes;
    std::lock_guard<std::mutex> lock(mutex);
    const int n = qMin(count, AddressSpace - address);
    if (bits) {
        const quint8* src = table == TableCoils ? mapping->tab_bits : mapping->tab_input_bits;
        bytes = QByteArray(reinterpret_cast<const char*>(src + address), n);
        return bytes;
    }
    const quint16* src =
        table == TableHolding ? mapping->tab_registers : mapping->tab_input_registers;
    return SimulatedController::wordBytes(QVector<quint16>(src + address, src + address + n));
}

void SimulatedController::setHoldingRegisters(int address, const QVector<quint16>& values)
{
    writeTable(TableHolding, address, SimulatedController::wordBytes(values), false);
}

void SimulatedController::setInputRegisters(int address, const QVector<quint16>& values)
{
    writeTable(TableInput, address, SimulatedController::wordBytes(values), false);
}

void SimulatedController::setCoils(int address, const QVector<quint8>& values)
{
    writeTable(TableCoils, address,
               QByteArray(reinterpret_cast<const char*>(values.constData()), values.size()), true);
}

void SimulatedController::setDiscreteInputs(int address, const QVector<quint8>& values)
{
    writeTable(TableDiscreteInputs, address,
               QByteArray(reinterpret_cast<const char*>(values.constData()), values.size()), true);
}

QVector<quint16> SimulatedController::holdingRegisters(int address, int count) const
{
    return bytesToWords(readTable(TableHolding, address, count, false));
}

QVector<quint16> SimulatedController::inputRegisters(int address, int count) const
{
    return bytesToWords(readTable(TableInput, address, count, false));
}

QVector<quint8> SimulatedController::coils(int address, int count) const
{
    const QByteArray b = readTable(TableCoils, address, count, true);
    return QVector<quint8>(b.cbegin(), b.cend());
}

QVector<quint8> SimulatedController::discreteInputs(int address, int count) const
{
    const QByteArray b = readTable(TableDiscreteInputs, address, count, true);
    return QVector<quint8>(b.cbegin(), b.cend());
}

bool SimulatedController::setEntryBytes(const ProtoEntry& entry, const QByteArray& bytes)
{
    const int table = tableOf(entry);
    return writeTable(table, int(entry.offset), bytes, isBitTable(table));
}

QByteArray SimulatedController::entryBytes(const ProtoEntry& entry) const
{
    const int table = tableOf(entry);
    return readTable(table, int(entry.offset), int(entry.registers), isBitTable(table));
}

bool SimulatedController::setSysEntry(const QString& id, const QByteArray& bytes)
{
    ProtoEntry entry;
    return SettingsProvider::instance().sysEntry(id, &entry) && setEntryBytes(entry, bytes);
}

QByteArray SimulatedController::sysEntry(const QString& id) const
{
    ProtoEntry entry;
    if (!SettingsProvider::instance().sysEntry(id, &entry))
        return QByteArray();
    return entryBytes(entry);
}

QByteArray SimulatedController::cpuBlock(const QList<BusDevice>& bus, int slaveAddress)
{
    QByteArray records;
    for (int i = 0; i < bus.size(); ++i)
        records += cpuRecord(bus[i], i == 0, slaveAddress);
    QByteArray block;
    LittleEndianWriter(&block) << quint16(bus.size()) << quint16(records.size());
    return block + records;
}

bool SimulatedController::setBus(const QList<BusDevice>& bus)
{
    ProtoEntry entry;
    if (!SettingsProvider::instance().sysEntry(QStringLiteral("korcpu"), &entry))
        return false;
    const QByteArray block = cpuBlock(bus, slave);
    if (entry.offset + (block.size() + 1) / 2 > quint32(AddressSpace))
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    this->bus = bus;
    const int table = tableOf(entry);
    return storeTable(table, int(entry.offset), block, isBitTable(table));
}

QByteArray SimulatedController::section(quint8 type, const QByteArray& body)
{
    QByteArray bytes;
    LittleEndianWriter(&bytes) << type << quint8(0) << quint16(body.size())
                               << crc16(reinterpret_cast<const quint8*>(body.constData()),
                                        quint16(body.size()));
    return bytes + body;
}

bool SimulatedController::setConfiguration(const QByteArray& composed,
                                           const QList<QPair<quint8, QByteArray>>& sectionsBefore)
{
    if (composed.size() < 4)
        return false;
    const int blocksLength = quint8(composed[2]) | (quint8(composed[3]) << 8);
    const int imageEnd = 4 + blocksLength;
    if (imageEnd > composed.size())
        return false;
    QByteArray area = composed.left(imageEnd);
    for (const auto& s : sectionsBefore)
        area += section(s.first, s.second);
    area += composed.mid(imageEnd);

    const ProtoEntry base = SettingsProvider::instance().iocfgBase();
    if (tableOf(base) != TableHolding || base.offset + (area.size() + 1) / 2 > quint32(AddressSpace))
        return false;
    return setEntryBytes(base, area);
}

QList<SimulatedController::Served> SimulatedController::served() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

QList<SimulatedController::Served> SimulatedController::writes() const
{
    QList<Served> result;
    for (const Served& s : served()) {
        if (s.function == MODBUS_FC_WRITE_SINGLE_COIL || s.function == MODBUS_FC_WRITE_SINGLE_REGISTER
            || s.function == MODBUS_FC_WRITE_MULTIPLE_COILS
            || s.function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS)
            result.append(s);
    }
    return result;
}

int SimulatedController::servedCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return log.size();
}

void SimulatedController::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
    handled = 0;
}

bool SimulatedController::waitForServed(int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this, count] { return handled >= count; });
}

void SimulatedController::misbehave(const Misbehaviour& next)
{
    std::lock_guard<std::mutex> lock(mutex);
    plan = next;
    noise.seed(next.seed);
}

void SimulatedController::misbehave(Fault fault, int times, int parameter)
{
    Misbehaviour next;
    next.fault = fault;
    next.times = times;
    next.parameter = parameter;
    misbehave(next);
}

void SimulatedController::replaceAtFault(const QList<BusDevice>& bus)
{
    std::lock_guard<std::mutex> lock(mutex);
    successor = bus;
    successorDue = true;
}

void SimulatedController::clearFault()
{
    misbehave(Fault::None, 0);
}

void SimulatedController::vanish()
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!thread.joinable()) {
        if (masterFd >= 0)
            ::close(masterFd);
        masterFd = -1;
        vanished = true;
        return;
    }
    vanishRequested = true;
    changed.wait_for(lock, std::chrono::seconds(5), [this] { return vanished; });
}

bool SimulatedController::reappear()
{
    if (thread.joinable()) {
        vanish();
        thread.join();
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (!server || !vanished)
        return false;
    if (slaveFd >= 0)
        ::close(slaveFd);
    slaveFd = -1;
    if (!openPort())
        return false;
    modbus_set_socket(server, masterFd);
    vanishRequested = false;
    vanished = false;
    thread = std::thread(&SimulatedController::serve, this);
    return true;
}

bool SimulatedController::isPortExclusive() const
{
    int exclusive = 0;
    return slaveFd >= 0 && ::ioctl(slaveFd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

bool SimulatedController::setCookedMode()
{
    termios t{};
    if (slaveFd < 0 || tcgetattr(slaveFd, &t) != 0)
        return false;
    t.c_iflag |= ICRNL | IXON;
    t.c_oflag |= OPOST | ONLCR;
    t.c_lflag |= ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    return tcsetattr(slaveFd, TCSANOW, &t) == 0;
}

QByteArray SimulatedController::wordBytes(const QVector<quint16>& words)
{
    QByteArray bytes;
    bytes.reserve(words.size() * 2);
    for (quint16 w : words) {
        bytes.append(char(w & 0xFF));
        bytes.append(char(w >> 8));
    }
    return bytes;
}
