// What failed frames cost the frames after them, through the Modbus link against the simulated
// controller on a pty: a controller that falls silent at each frame of a configuration write
// (the password, the image block, the command, the clear; each failure followed by the
// controller's identity read, after which the write gives up), beside the time-outs those
// frames must wait in any case; and the monitoring batch polled at its tick with one read in
// seven answered late, beside the same batch answered in time. Time-outs and the tick are the
// program's divided by a scale (first argument, default 10); the seconds shown are scaled back.
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"
#include "communication/controlandmonitoring.h"
#include "communication/controlrequest.h"
#include "communication/deviceconfigurator.h"
#include "communication/modbusdevice.h"
#include "communication/smartreadrequest.h"
#include "model/korcpu.h"
#include "model/resourcekind.h"
#include "model/systemmodel.h"
#include "support/simulatedcontroller.h"

#include <QCoreApplication>
#include <QTextStream>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using Fault = SimulatedController::Fault;

struct Frame
{
    const char* name;
    int address;
    int count;
    int timeoutUs;
};

bool openDevice(ModbusDevice& device, const SimulatedController& controller)
{
    PortSettings_t settings;
    settings.portName = controller.portPath();
    return device.open(settings);
}

// The read that identifies the controller after a failed frame, as the clear makes it.
Request::Ptr_t identityRead(int timeoutUs)
{
    ProtoEntry entry;
    if (!SettingsProvider::instance().protoEntry(QStringLiteral("sys"), ResourceKind::KorCpu,
                                                 &entry))
        return {};
    KorCpu::Ptr_t block(new KorCpu());
    block->setRegisters(entry);
    Request::Ptr_t read = SmartReadRequest::create(block, nullptr);
    read->setTimeoutUs(timeoutUs);
    return read;
}

// Seconds from the write's first frame until it has given up, the controller silent from frame
// `silentAt` on.
double silentWrite(SimulatedController& controller, const QList<Frame>& frames, int silentAt,
                   int scale, bool* ok)
{
    ModbusDevice device;
    controller.clearFault();
    if (!openDevice(device, controller)) {
        *ok = false;
        return 0;
    }
    const auto start = Clock::now();
    for (int i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        if (i == silentAt)
            controller.misbehave(Fault::NoReply, SimulatedController::Forever);
        const QByteArray data(f.count * 2, '\0');
        if (device.write(ModbusDevice::WriteRegisters, f.address, f.count, &data,
                         f.timeoutUs / scale, 1) == f.count)
            continue;
        const Request::Ptr_t read = identityRead(Request::DefaultTimeoutUs / scale);
        read->prepare();
        *ok = *ok && i == silentAt && read->doRequest(device) != 0;
        break;
    }
    controller.clearFault();
    return std::chrono::duration<double>(Clock::now() - start).count() * scale;
}

// Batches run per tick fired, the ticks `intervalMs` apart and a batch sent only at a tick
// after the previous one is done, as the monitoring loop does.
double tickRate(ModbusDevice& device, const QList<Request::Ptr_t>& batch, int batches,
                int intervalMs, int* failed)
{
    const auto interval = std::chrono::milliseconds(intervalMs);
    const auto start = Clock::now();
    auto tick = start;
    long fired = 0;
    for (int run = 0; run < batches; ++run) {
        for (const Request::Ptr_t& r : batch) {
            r->prepare();
            if (r->doRequest(device) != 0)
                ++*failed;
        }
        const auto now = Clock::now();
        while (tick <= now) {
            tick += interval;
            ++fired;
        }
        std::this_thread::sleep_until(tick);
    }
    return double(batches) / double(fired);
}

// The monitoring batch of a system of a controller and `modules` modules, polled at the tick in
// time and then with one read in seven late.
bool monitoringRates(int modules, int scale, int batches, QTextStream& out)
{
    SimulatedController controller;
    SystemModel model;
    QByteArray image;
    if (!Bench::holdLargestSystem(controller, model, image, modules))
        return false;
    ControlAndMonitoring loop(&model);
    loop.monitoring(true);
    QList<Request::Ptr_t> batch = loop.monitoringRequests();
    if (loop.deviceRequest())
        batch.append(loop.deviceRequest());
    for (const Request::Ptr_t& r : batch)
        r->setTimeoutUs(Request::DefaultTimeoutUs / scale);
    const int intervalMs = ControlAndMonitoring::TickIntervalMs / scale;
    ModbusDevice device;
    if (batch.isEmpty() || !openDevice(device, controller))
        return false;
    int failed = 0;
    const double inTime = tickRate(device, batch, batches, intervalMs, &failed);
    controller.clearLog();
    tickRate(device, batch, 1, intervalMs, &failed);
    out << "  " << modules << " module(s), " << controller.servedCount() << " reads a batch:\n"
        << "    answered in time:                    " << QString::number(inTime, 'f', 3) << "\n";
    for (const double late : {1.2, 1.5}) {
        SimulatedController::Misbehaviour plan;
        plan.fault = Fault::Delay;
        plan.times = SimulatedController::Forever;
        plan.parameter = int(late * Request::DefaultTimeoutUs / scale / 1000);
        plan.skip = 6;
        plan.every = 7;
        controller.misbehave(plan);
        int lateFailed = 0;
        const double rate = tickRate(device, batch, batches, intervalMs, &lateFailed);
        controller.clearFault();
        out << "    one read in 7 late by " << late << " time-outs: " << QString::number(rate, 'f', 3)
            << ", ratio " << QString::number(rate / inTime, 'f', 3) << " (" << lateFailed
            << " of " << batches * batch.size() << " requests failed)\n";
    }
    loop.monitoring(false);
    return failed == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const SettingsProvider& provider = SettingsProvider::instance();
    const int scale = qMax(1, int(Bench::argument(argc, argv, 1, 10, 10)));
    const int batches = int(Bench::argument(argc, argv, 2, 28, 2));
    QTextStream out(stdout);
    bool ok = true;

    SimulatedController controller;
    SystemModel model;
    QByteArray image;
    ProtoEntry command, password;
    if (!Bench::holdLargestSystem(controller, model, image)
        || !ControlRequest::findRegisters(&command, &password)) {
        out << "setup failed\n";
        return 1;
    }
    const int second = Request::DefaultTimeoutUs;
    const int block = DeviceConfigurator::ImageWriteTimeoutUs;
    const QList<Frame> frames{
        {"password", int(password.offset), 1, second},
        {"image block", int(provider.iocfgBase().offset), ModbusDevice::MaxWriteItems, block},
        {"command", int(command.offset), 1, second},
        {"clear", int(password.offset), 1, second},
    };
    out << "controller silent from a write's frame on, until the write gives up (s, program's "
           "time-outs; time-outs scaled 1/"
        << scale << "):\n";
    for (int i = 0; i < frames.size(); ++i) {
        const double took = silentWrite(controller, frames, i, scale, &ok);
        // What cannot be saved: the silent frame's time-out and the identity read's tries.
        const double bare = (frames[i].timeoutUs + ModbusDevice::InputRegisterTries * second) / 1e6;
        out << "  silent at the " << frames[i].name << ": " << QString::number(took, 'f', 2)
            << " s, its time-outs alone " << QString::number(bare, 'f', 2)
            << " s, ratio " << QString::number(took / bare, 'f', 2) << "\n";
    }

    out << "monitoring, batches run per tick fired (tick " << ControlAndMonitoring::TickIntervalMs
        << " ms):\n";
    for (const int modules : {1, 10})
        ok = monitoringRates(modules, scale, batches, out) && ok;
    return ok ? 0 : 1;
}
