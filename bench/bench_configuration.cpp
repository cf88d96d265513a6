// Configuration read and write of a full 22-board system (a TAV-1020-10 controller and ten
// two-board modules) through the device configurator, the communication object, a channel and
// its worker thread, against the simulated controller over a pty; side by side, in alternating
// rounds, with a bare libmodbus loop doing the same register transfers (recorded from the
// controller's log) on the same pty. Prints the median of each and their ratio, and the same
// ratio once the model's own work is taken out of the configurator's figure: that work (the
// image read into the model and the image build, the model's take-over) is the model's to make
// fast, the rest is the cost of carrying the frames through requests, the channel and its worker
// thread.
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"
#include "communication/communication.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "model/flatconfiguration.h"
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
#include <functional>
#include <memory>
#include <vector>

namespace {

using Served = SimulatedController::Served;

constexpr int waitMs = 10000;

// Runs `start`, then the event loop until `done` holds (checked whenever `wake` is quit); the
// time from start to done, in ms, or a negative value at the deadline.
double timed(QEventLoop& wake, const std::function<void()>& start, const std::function<bool()>& done)
{
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &wake, &QEventLoop::quit);
    deadline.start(waitMs);
    QElapsedTimer clock;
    clock.start();
    start();
    while (!done() && deadline.isActive())
        wake.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    return done() ? ms : -1.0;
}

// The same frames as the recorded ones, one after the other, on a bare libmodbus master.
class BareMaster
{
public:
    explicit BareMaster(const QString& port)
        : ctx(modbus_new_rtu(port.toUtf8().constData(), 115200, 'N', 8, 2))
    {
        modbus_set_slave(ctx, 2);
        modbus_set_response_timeout(ctx, 1, 0);
        connected = modbus_connect(ctx) == 0;
        if (connected)
            modbus_flush(ctx);
    }
    ~BareMaster()
    {
        if (connected)
            modbus_close(ctx);
        modbus_free(ctx);
    }

    double replay(const QList<Served>& frames)
    {
        if (!connected)
            return -1.0;
        uint16_t words[125];
        uint8_t bits[2000];
        QElapsedTimer clock;
        clock.start();
        for (const Served& f : frames) {
            int rc = -1;
            switch (f.function) {
            case 1:
                rc = modbus_read_bits(ctx, f.address, f.count, bits);
                break;
            case 2:
                rc = modbus_read_input_bits(ctx, f.address, f.count, bits);
                break;
            case 3:
                rc = modbus_read_registers(ctx, f.address, f.count, words);
                break;
            case 4:
                rc = modbus_read_input_registers(ctx, f.address, f.count, words);
                break;
            case 16:
                rc = modbus_write_registers(ctx, f.address, f.count, f.values.constData());
                break;
            default:
                break;
            }
            if (rc != f.count)
                return -1.0;
        }
        return clock.nsecsElapsed() / 1e6;
    }

private:
    modbus_t* ctx;
    bool connected = false;
};

// The same requests in the same order: what the bare loop replays is what the configurator sent.
bool sameFrames(const QList<Served>& a, const QList<Served>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Served& x, const Served& y) {
        return x.function == y.function && x.address == y.address && x.count == y.count
            && x.values == y.values && x.fault == y.fault;
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    const int rounds = qMax(1, int(Bench::argument(argc, argv, 1, 15, 1)));
    QTextStream out(stdout);

    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    // The system the controller holds.
    SystemModel source;
    QByteArray image;
    SimulatedController controller;
    if (!Bench::holdLargestSystem(controller, source, image)) {
        out << "bench_configuration: set-up failed\n";
        return 1;
    }

    // The program's wiring.
    Communication communication;
    communication.setSystemPortSource([] { return QList<SerialPortInfo>(); });
    communication.setKeepAliveInterval(3600 * 1000);
    DevicePool pool;
    SystemModel model;
    DeviceConfigurator configurator(&model);
    QObject::connect(&pool, &DevicePool::sendRequest, &communication, &Communication::sendRequestTo);
    QObject::connect(&pool, &DevicePool::activateChannel, &communication, &Communication::activate);
    QObject::connect(&communication, &Communication::channelWasFound, &pool,
                     &DevicePool::channelOpened);
    QObject::connect(&configurator, &DeviceConfigurator::sendRequest, &communication,
                     &Communication::sendRequest);
    QObject::connect(&configurator, &DeviceConfigurator::keepAliveControl, &pool,
                     &DevicePool::enableKeepAlive);
    QObject::connect(&pool, &DevicePool::systemSelected, &configurator,
                     &DeviceConfigurator::setSystem);
    // Quit by every signal the measurements wait for.
    QEventLoop wake;
    bool loaded = false;
    bool loadedOk = false;
    bool finished = false;
    bool writtenOk = false;
    QObject::connect(&configurator, &DeviceConfigurator::loaded, [&](bool ok) {
        loaded = true;
        loadedOk = ok;
        wake.quit();
    });
    QObject::connect(&configurator, &DeviceConfigurator::written, [&](bool ok) { writtenOk = ok; });
    // The write ends with the password cleared, when the keep-alive comes back.
    QObject::connect(&configurator, &DeviceConfigurator::keepAliveControl, [&](bool on) {
        finished = on;
        wake.quit();
    });
    QObject::connect(&pool, &DevicePool::systemsUpdated, &wake, &QEventLoop::quit);
    // The first change of the model in a read comes when the image, parsed in a model of its own,
    // is about to replace the old configuration (the old one cleared), or when the image read into
    // the configuration held in place is announced; what follows is the take-over. A model that
    // stopped signalling its clear would move the take-over into the configurator's figure, never
    // out of it.
    QElapsedTimer since;
    since.start();
    qint64 readStart = 0;
    qint64 firstChange = -1;
    QObject::connect(&model, &SystemModel::changed, [&] {
        if (firstChange < 0)
            firstChange = since.nsecsElapsed();
    });

    qputenv(PortEnumerator::ExtraPortsVariable, controller.portPath().toLocal8Bit());
    communication.runComPortScan();
    if (timed(wake, [] {}, [&] { return !pool.systems().isEmpty(); }) < 0) {
        out << "bench_configuration: the controller was not detected\n";
        return 1;
    }
    pool.selectSystem(pool.systems().first()->id());

    // The read's take-over, in ms from the first change of the model to the end of the read.
    double takeOver = 0;
    const auto configRead = [&] {
        loaded = false;
        firstChange = -1;
        const double ms = timed(
            wake,
            [&] {
                readStart = since.nsecsElapsed();
                configurator.read();
            },
            [&] { return loaded; });
        takeOver = firstChange < 0 ? 0.0 : ms - (firstChange - readStart) / 1e6;
        return ms;
    };
    const auto configWrite = [&] {
        finished = false;
        writtenOk = false;
        return timed(wake, [&] { configurator.write(); }, [&] { return finished; });
    };

    // One run each to record the frames the bare loop replays.
    controller.clearLog();
    if (configRead() < 0 || !loadedOk) {
        out << "bench_configuration: the configuration read failed\n";
        return 1;
    }
    const QList<Served> readFrames = controller.served();
    // Kept to tell, after the rounds, whether the reads of the same controller went into the
    // configuration in place.
    const Device::Ptr_t firstRead = model.devices().first();
    controller.clearLog();
    if (configWrite() < 0 || !writtenOk) {
        out << "bench_configuration: the configuration write failed\n";
        return 1;
    }
    const QList<Served> writeFrames = controller.served();

    // The model's own share, which the bare loop does not do: the image read into the
    // configuration, and the image build before a write. Timed in each round where the
    // configurator does them, after the read's frames and before the write's, so they meet the
    // caches as they find them there. The read goes as the configurator's goes: into the
    // configuration held, in place, when that is the system of the image (as after the first read
    // of the same controller); otherwise parsed into a model of its own that replaces the
    // configuration held, whose release is timed apart.
    const int body = quint8(image[2]) | quint8(image[3]) << 8;
    const QByteArray blocks = image.left(4 + body);
    const QByteArray table = image.mid(4 + body + 6);
    std::vector<double> parse, release, build;
    int inPlace = 0;
    // What the next read goes into, kept from the round before as the configurator keeps it, and
    // read once as the configurator's model was by the first read.
    auto held = std::make_unique<SystemModel>();
    FlatConfiguration(held.get()).parse(pool.activeSystem()->info(), blocks, table);
    const auto modelWork = [&] {
        QElapsedTimer clock;
        clock.start();
        NodeId::resetImageIds();
        const FlatConfiguration::Update update =
            FlatConfiguration(held.get()).update(pool.activeSystem()->info(), blocks, table);
        if (update == FlatConfiguration::Update::Updated) {
            parse.push_back(clock.nsecsElapsed() / 1e6);
            release.push_back(0.0);
            ++inPlace;
        } else {
            auto parsed = std::make_unique<SystemModel>();
            NodeId::resetImageIds();
            FlatConfiguration(parsed.get()).parse(pool.activeSystem()->info(), blocks, table);
            parse.push_back(clock.nsecsElapsed() / 1e6);
            clock.restart();
            held = std::move(parsed);
            release.push_back(clock.nsecsElapsed() / 1e6);
        }
        // Built from a configuration not built since it changed, as a write after a read or an
        // edit finds it.
        QByteArray built;
        clock.restart();
        FlatConfiguration(held.get()).compose(built);
        build.push_back(clock.nsecsElapsed() / 1e6);
    };

    BareMaster bare(controller.portPath());
    std::vector<double> tRead, tWrite, bRead, bWrite, tTakeOver;
    bool ok = true;
    for (int r = 0; r < rounds && ok; ++r) {
        // Alternate which side goes first, so neither always runs on a warmed-up line.
        const bool toolFirst = r % 2 == 0;
        for (int side = 0; side < 2; ++side) {
            if ((side == 0) == toolFirst) {
                controller.clearLog();
                tRead.push_back(configRead());
                tTakeOver.push_back(takeOver);
                ok = ok && loadedOk && sameFrames(controller.served(), readFrames);
                controller.clearLog();
                tWrite.push_back(configWrite());
                ok = ok && writtenOk && sameFrames(controller.served(), writeFrames);
            } else {
                bRead.push_back(bare.replay(readFrames));
                modelWork();
                bWrite.push_back(bare.replay(writeFrames));
            }
        }
    }
    const auto failed = [](const std::vector<double>& v) {
        return std::any_of(v.begin(), v.end(), [](double x) { return x < 0; });
    };
    if (!ok || failed(tRead) || failed(tWrite) || failed(bRead) || failed(bWrite)) {
        out << "bench_configuration: a round failed or sent other frames than the first\n";
        return 1;
    }

    const auto line = [&out](const QString& name, int frames, double tool, double bareMs) {
        out << name << " (" << frames << " frames): configurator " << QString::number(tool, 'f', 2)
            << " ms, bare libmodbus " << QString::number(bareMs, 'f', 2) << " ms, ratio "
            << QString::number(tool / bareMs, 'f', 2) << "\n";
    };
    const bool configuratorInPlace = model.devices().first() == firstRead;
    out << "22-board system: " << model.devices().size() << " devices, image " << image.size()
        << " bytes; medians of " << rounds << " alternating rounds; reads in place: configurator "
        << (configuratorInPlace ? "yes" : "no") << ", model work " << inPlace << " of " << rounds
        << "\n";
    line(QStringLiteral("read "), readFrames.size(), Bench::median(tRead), Bench::median(bRead));
    line(QStringLiteral("write"), writeFrames.size(), Bench::median(tWrite), Bench::median(bWrite));
    const double readModel =
        Bench::median(parse) + Bench::median(release) + Bench::median(tTakeOver);
    const double writeModel = Bench::median(build);
    out << "of which model work: image read " << QString::number(Bench::median(parse), 'f', 2)
        << " ms, release of the old " << QString::number(Bench::median(release), 'f', 2)
        << " ms, take-over "
        << QString::number(Bench::median(tTakeOver), 'f', 2) << " ms (read), image build "
        << QString::number(writeModel, 'f', 2) << " ms (write)\n";
    // The parse and the build cannot be timed inside the configurator's run: the medians of the
    // parts are subtracted from the median of the whole.
    line(QStringLiteral("read  without model work"), readFrames.size(),
         Bench::median(tRead) - readModel, Bench::median(bRead));
    line(QStringLiteral("write without model work"), writeFrames.size(),
         Bench::median(tWrite) - writeModel, Bench::median(bWrite));
    return 0;
}
