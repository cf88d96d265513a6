// One monitoring tick of a full 22-board system (a two-board controller and ten two-board modules)
// through the communication object, its channel, worker thread and Modbus link against the
// simulated controller on a pty, found and selected by the device pool, side by side with a bare
// libmodbus loop doing the same register transfers on the same pty; and the Modbus transactions of
// a tick against the register ranges its values cover.
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"
#include "communication/communication.h"
#include "communication/communicationwiring.h"
#include "communication/configurationtraffic.h"
#include "communication/controlandmonitoring.h"
#include "communication/devicepool.h"
#include "support/registerranges.h"
#include "support/simulatedcontroller.h"
#include "model/systemmodel.h"

#include <modbus/modbus.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

constexpr DeviceType_t kController = 0x0B0A140Au;
constexpr int kModules = 10;

struct Transfer
{
    int function = 0;
    int address = 0;
    int count = 0;
};

bool build(SystemModel& model, DeviceType_t module, QList<SimulatedController::BusDevice>& bus)
{
    DeviceHandle h;
    h.type = kController;
    h.revision = 0;
    h.id = SystemModel::newNodeId();
    h.number = 0;
    const Device::Ptr_t controller = model.addDevice(h);
    if (!controller)
        return false;
    bus.append({kController, 0, 1001, 1, 0, 77});
    for (int i = 1; i <= kModules; ++i) {
        h.type = module;
        h.id = SystemModel::newNodeId();
        h.owner = controller->id();
        h.number = i;
        if (!model.addDevice(h))
            return false;
        bus.append({module, 0, quint32(2000 + i), quint32(i + 1), 0, 1});
    }
    return true;
}

// Milliseconds per tick of the loop, every reply decoded into the model and announced.
double loopRound(ControlAndMonitoring& loop, const SystemModel& model, int ticks, bool* ok)
{
    // The GUI thread sleeps in an event loop between completions, as in the program; the last
    // announcement of a tick ends the wait. (A time limit given to processEvents() would make a
    // busy loop of the wait, which takes a core from the worker and the controller.)
    QEventLoop wait;
    const auto announced = [&loop, &wait] {
        if (loop.pending() == 0)
            wait.quit();
    };
    QObject::connect(&model, &SystemModel::changedValues, &wait, announced);
    QObject::connect(&model, &SystemModel::changedDeviceValues, &wait, announced);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < ticks && *ok; ++i) {
        loop.onMonitoringTick();
        deadline.start(5000);
        if (loop.pending() > 0)
            wait.exec();
        // A read that fails announces nothing and leaves the wait to the deadline.
        *ok = *ok && loop.pending() == 0 && deadline.isActive();
    }
    const double ms = timer.nsecsElapsed() / 1e6 / ticks;
    return *ok ? ms : 0;
}

// Milliseconds per tick of the same transfers straight through libmodbus.
double bareRound(modbus_t* ctx, const QVector<Transfer>& transfers, int ticks, bool* ok)
{
    std::vector<uint16_t> words(125);
    std::vector<uint8_t> bits(2000);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < ticks; ++i) {
        for (const Transfer& t : transfers) {
            int rc = -1;
            switch (t.function) {
            case 1: rc = modbus_read_bits(ctx, t.address, t.count, bits.data()); break;
            case 2: rc = modbus_read_input_bits(ctx, t.address, t.count, bits.data()); break;
            case 3: rc = modbus_read_registers(ctx, t.address, t.count, words.data()); break;
            case 4: rc = modbus_read_input_registers(ctx, t.address, t.count, words.data()); break;
            }
            if (rc != t.count)
                *ok = false;
        }
    }
    return timer.nsecsElapsed() / 1e6 / ticks;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const SettingsProvider& provider = SettingsProvider::instance();
    const int ticks = int(Bench::argument(argc, argv, 1, 150, 2));
    const int rounds = Bench::isShort() ? 1 : 15;
    QTextStream out(stdout);

    SystemModel model;
    QList<SimulatedController::BusDevice> bus;
    const DeviceType_t module = Bench::twoBoardModule(provider);
    SimulatedController controller;
    if (!module || !build(model, module, bus) || !controller.isRunning() || !controller.setBus(bus)) {
        out << "setup failed\n";
        return 1;
    }

    // The channel comes from a port scan and the controller from the pool's detection, as in the
    // program: the monitoring sends its handshakes and its checked reads only to the controller
    // the pool selected. The test ports only; no keep-alive read comes between the ticks.
    qputenv(PortEnumerator::ExtraPortsVariable, controller.portPath().toLocal8Bit());
    Communication communication;
    communication.setSystemPortSource([] { return QList<SerialPortInfo>(); });
    communication.setKeepAliveInterval(3600 * 1000);
    DevicePool pool;
    ControlAndMonitoring loop(&model);
    // Ticks come from the bench alone.
    loop.setTickInterval(3600 * 1000);
    wireCommunication(&communication, &pool, nullptr, &loop);
    communication.runComPortScan();
    if (!Bench::waitFor([&pool] { return !pool.systems().isEmpty(); })) {
        out << "the controller was not detected\n";
        return 1;
    }
    pool.selectSystem(pool.systems().first()->id());
    loop.monitoring(true);
    // The start handshake is done when it lets the keep-alive go again.
    if (!Bench::waitFor([&] {
            return pool.isKeepAliveEnabled()
                   && ConfigurationTraffic::of(controller.writes()).control
                          == ConfigurationTraffic::handshake(103);
        })) {
        out << "monitoring start not seen\n";
        return 1;
    }

    // One tick: what goes over the wire.
    bool ok = true;
    controller.clearLog();
    loopRound(loop, model, 1, &ok);
    ProtoEntry korcpu;
    provider.sysEntry(QStringLiteral("korcpu"), &korcpu);
    QVector<Transfer> transfers;
    int resourceReads = 0;
    int cpuReads = 0;
    for (const auto& s : controller.served()) {
        transfers.append({s.function, s.address, s.count});
        ok = ok && s.fault == SimulatedController::Fault::None && s.function <= 4;
        if (s.function == 4 && quint32(s.address) >= korcpu.offset)
            ++cpuReads;
        else
            ++resourceReads;
    }
    QList<ProtoEntry> entries;
    for (const Request::Ptr_t& r : loop.monitoringRequests())
        for (const RequestItem& item : r->list())
            entries.append(item.entry);
    const QList<RegisterRanges::Range> ranges = RegisterRanges::of(entries);
    // The CPU block is one more contiguous range: its header and the records behind it.
    const int cpuRegisters = (SimulatedController::cpuBlock(bus).size() + 1) / 2;
    const int cpuLeast = RegisterRanges::leastReads({{4, korcpu.offset, korcpu.offset + quint32(cpuRegisters)}});

    out << "22-board system: " << model.devices().size() << " devices, "
        << model.resources().size() << " resources, " << entries.size() << " polled values\n"
        << "tick: " << loop.monitoringRequests().size() << " resource reads + 1 CPU block read\n"
        << "  resource transactions: " << resourceReads << ", contiguous ranges: " << ranges.size()
        << " (";
    for (int i = 0; i < ranges.size(); ++i)
        out << (i ? ", " : "") << "fn" << ranges[i].function << " " << ranges[i].first << "+"
            << ranges[i].end - ranges[i].first;
    out << "), least reads within 125-item frames: " << RegisterRanges::leastReads(ranges) << "\n"
        << "  CPU block transactions: " << cpuReads << " for 1 range of " << cpuRegisters
        << " registers, least reads: " << cpuLeast << " (the header comes first, alone)\n"
        << "  tick: " << transfers.size() << " transactions, " << ranges.size() + 1
        << " contiguous ranges, least reads: " << RegisterRanges::leastReads(ranges) + cpuLeast
        << " in 125-item frames, " << RegisterRanges::leastReads(ranges, 125, 2000) + cpuLeast
        << " in the protocol's frames (125 registers, 2000 bits)\n";

    modbus_t* ctx = modbus_new_rtu(controller.portPath().toUtf8().constData(), 115200, 'N', 8, 2);
    modbus_set_slave(ctx, controller.slaveAddress());
    modbus_set_response_timeout(ctx, 1, 0);
    if (modbus_connect(ctx) != 0) {
        modbus_free(ctx);
        out << "bare libmodbus connect failed\n";
        return 1;
    }
    modbus_flush(ctx);

    // Alternate short rounds so that neither side profits from a quieter machine, and take the
    // median round of each: a pty's latency wanders with the scheduler.
    std::vector<double> bares, loops;
    for (int round = 0; round < rounds; ++round) {
        bares.push_back(bareRound(ctx, transfers, ticks, &ok));
        loops.push_back(loopRound(loop, model, ticks, &ok));
    }
    modbus_close(ctx);
    modbus_free(ctx);
    loop.monitoring(false);

    const double bare = Bench::median(bares);
    const double layer = Bench::median(loops);
    out << "bare libmodbus, same transfers: " << QString::number(bare, 'f', 3) << " ms/tick\n"
        << "monitoring tick, end to end:    " << QString::number(layer, 'f', 3) << " ms/tick\n"
        << "tick / bare:                    " << QString::number(bare > 0 ? layer / bare : 0, 'f', 3)
        << (ok ? "" : "  (TRANSFER FAILURES)") << "\n";
    return ok ? 0 : 1;
}
