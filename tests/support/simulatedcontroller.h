#pragma once

#include "catalogue/cataloguerecords.h"
#include "model/devicetype.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

typedef struct _modbus modbus_t;
typedef struct _modbus_mapping_t modbus_mapping_t;

// A controller on the far side of a real pseudo-terminal: a libmodbus RTU slave that serves all
// four tables over the whole 16-bit address space on its own thread, so the code under test goes
// through libmodbus, termios, CRCs and time-outs exactly as with a cable. Tests fill the tables,
// read back what was written, look at every request in arrival order and make the controller
// misbehave for a number of requests. Every instance has its own port path, so tests may run in
// parallel. Destruction always stops and joins the server thread.
class SimulatedController
{
public:
    enum class Fault {
        None,
        NoReply,   // the request is dropped unanswered and not applied
        Exception, // a Modbus exception reply; parameter = exception code (default 4)
        BadCrc,    // the normal reply with its last CRC byte inverted
        Truncated, // the normal reply without its last three bytes
        Delay,     // the normal reply after parameter milliseconds
        Garbage,   // parameter bytes of 0xFF (default 3), then the normal reply
        Vanish,    // no reply and not applied: the cable is pulled as the request arrives
        Busy,      // as Delay, and the requests that arrive meanwhile go unheard
        OtherAddress, // a write applied, its echo naming another first address
        StaleEcho, // not applied, answered with the echo a write of its shape gets: a late answer
                   // to an earlier write arriving as this one is lost
        Replaced,  // another controller (serial number = parameter) answers from this request on
    };
    static constexpr int Forever = -1;

    // One request addressed to this controller, logged when it arrives.
    struct Served
    {
        int function = 0;        // function code on the wire (1-4 reads, 15/16 writes, ...)
        int address = 0;
        int count = 0;           // registers or bits asked for or written
        QVector<quint16> values; // written registers, or written coils as 0/1
        Fault fault = Fault::None; // how it was answered
    };

    // One device of the scripted bus; the controller itself comes first.
    struct BusDevice
    {
        DeviceType_t type = 0;
        HardwareVersion revision = 0;
        quint32 serial = 0;
        quint32 id = 0;
        quint16 state = 0;
        quint32 aux = 0;
    };

    explicit SimulatedController(int slaveAddress = 2);
    ~SimulatedController();
    SimulatedController(const SimulatedController&) = delete;
    SimulatedController& operator=(const SimulatedController&) = delete;

    // False when the pseudo-terminal or the server could not be set up.
    bool isRunning() const;
    // What the code under test opens: an absolute path, a link to the pty in a private folder.
    QString portPath() const;
    QString ptyName() const;
    int slaveAddress() const { return slave; }

    // Tables. Addresses are 0..65535; values beyond the end are cut off.
    void setHoldingRegisters(int address, const QVector<quint16>& values);
    void setInputRegisters(int address, const QVector<quint16>& values);
    void setCoils(int address, const QVector<quint8>& values);
    void setDiscreteInputs(int address, const QVector<quint8>& values);
    QVector<quint16> holdingRegisters(int address, int count) const;
    QVector<quint16> inputRegisters(int address, int count) const;
    QVector<quint8> coils(int address, int count) const;
    QVector<quint8> discreteInputs(int address, int count) const;

    // A register map entry's table (by its read code, else its write code: 1/5 coils,
    // 2 discrete inputs, 3/6 holding, 4 input registers) and offset, with the data in the
    // program's buffer layout: registers two bytes each, low byte first (an odd last byte is
    // padded with 0); bits one byte each. False for an entry naming no table.
    bool setEntryBytes(const ProtoEntry& entry, const QByteArray& bytes);
    QByteArray entryBytes(const ProtoEntry& entry) const;
    // The same for the loaded catalogue's "sys" entries ("alarm-reg", "password", ...).
    bool setSysEntry(const QString& id, const QByteArray& bytes);
    QByteArray sysEntry(const QString& id) const;

    // The CPU block at "sys"/"korcpu": header, then one record per device with sub-blocks 0
    // (identity; the controller's carries this slave address and 12 V / 3.3 V supplies) and 2
    // (serial number, id, aux word, state code).
    bool setBus(const QList<BusDevice>& bus);
    static QByteArray cpuBlock(const QList<BusDevice>& bus, int slaveAddress = 2);
    // The configuration area from "iocfg/base": a composed image (as FlatConfiguration::compose
    // writes it: image, then its device-table section) with optional sections put between the
    // image and the device table.
    bool setConfiguration(const QByteArray& composed,
                          const QList<QPair<quint8, QByteArray>>& sectionsBefore = {});
    // A chain section: type, 0, body length, the body's CRC-16 as check word, body.
    static QByteArray section(quint8 type, const QByteArray& body);
    // Register words as the controller's memory holds them: low byte first.
    static QByteArray wordBytes(const QVector<quint16>& words);

    // Requests in arrival order (faulted ones included), and the writes among them.
    QList<Served> served() const;
    QList<Served> writes() const;
    int servedCount() const;
    void clearLog();
    // Waits until `count` logged requests have been handled completely (reply written or
    // dropped). False at the deadline.
    bool waitForServed(int count, int timeoutMs = 5000) const;

    // Which requests get which fault: among the requests whose function code is `function`
    // (0: any) and whose first register is `address` (-1: any), the first `skip` are answered
    // normally, then `times` of them (Forever: until cleared) get `fault`. With `every` set, the
    // faulted ones are every `every`-th: `every` - 1 go normally after each.
    struct Misbehaviour
    {
        Fault fault = Fault::None;
        int times = 1;
        int parameter = 0;
        int function = 0;
        int skip = 0;
        int address = -1;
        int every = 0;
        // A noisy line: each candidate is faulted with this chance in percent (0: every one),
        // drawn from `seed`, so a run repeats as long as its frames do.
        int percent = 0;
        unsigned seed = 1;
    };
    // A new call replaces the previous plan.
    void misbehave(const Misbehaviour& plan);
    void misbehave(Fault fault, int times = 1, int parameter = 0);
    // Another controller behind the same adapter from the next faulted request on: once that
    // request is handled, the CPU block is `bus`'s.
    void replaceAtFault(const QList<BusDevice>& bus);
    void clearFault();
    // Pulls the cable: closes the pty master, so the client's next transfer fails with EIO.
    // Returns once the server has let go of the port.
    void vanish();
    // Plugged in again after vanishing: a new pseudo-terminal behind the same port path, the
    // tables as they were. False when it cannot be set up.
    bool reappear();

    // The port's side as other programs see it: whether some opener holds it exclusively, and
    // line settings put back to a terminal's cooked mode (as they are before any program
    // configured the port).
    bool isPortExclusive() const;
    bool setCookedMode();

private:
    bool openPort();
    void serve();
    void handle(const quint8* query, int length);
    Fault takeFault(const Served& request, int* parameter);
    QByteArray normalReply(const quint8* query, int length);
    void sendRaw(const QByteArray& bytes);
    bool sleepUnlessStopped(int ms);
    static Served parse(const quint8* query, int length);
    bool writeTable(int table, int address, const QByteArray& bytes, bool bits);
    // The same with the mutex held.
    bool storeTable(int table, int address, const QByteArray& bytes, bool bits);
    QByteArray readTable(int table, int address, int count, bool bits) const;

    const int slave;
    QTemporaryDir dir;
    QString link;
    QString pty;
    int masterFd = -1;
    int slaveFd = -1;
    int pipeFds[2] = {-1, -1};
    modbus_t* server = nullptr;
    modbus_mapping_t* mapping = nullptr;

    mutable std::mutex mutex; // the mapping, the log, the fault plan and the flags below
    mutable std::condition_variable changed;
    QList<Served> log;
    QList<BusDevice> bus; // as last set
    int handled = 0;
    Misbehaviour plan{Fault::None, 0, 0, 0, 0};
    std::minstd_rand noise;
    QList<BusDevice> successor;
    bool successorDue = false;
    bool stopping = false;
    bool vanishRequested = false;
    bool vanished = false;
    std::thread thread;
};
