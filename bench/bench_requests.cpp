// Transactions per second of the request layer against the simulated controller over a pty, side
// by side with a bare libmodbus loop doing the same transfers on the same pty.
#include "benchsupport.h"
#include "model/aout.h"
#include "catalogue/settingsprovider.h"
#include "communication/modbusdevice.h"
#include "communication/reqgen.h"
#include "support/simulatedcontroller.h"

#include <modbus/modbus.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int registers = 16;

double bareLoop(const QString& port, int transactions)
{
    modbus_t* ctx = modbus_new_rtu(port.toUtf8().constData(), 115200, 'N', 8, 2);
    modbus_set_slave(ctx, 2);
    modbus_set_response_timeout(ctx, 1, 0);
    if (modbus_connect(ctx) != 0) {
        modbus_free(ctx);
        return 0;
    }
    modbus_flush(ctx);
    uint16_t buffer[registers];
    QElapsedTimer timer;
    timer.start();
    int ok = 0;
    for (int i = 0; i < transactions; ++i)
        ok += modbus_read_registers(ctx, 0, registers, buffer) == registers ? 1 : 0;
    const double seconds = timer.nsecsElapsed() / 1e9;
    modbus_close(ctx);
    modbus_free(ctx);
    return ok / seconds;
}

double requestLayer(const QString& port, int transactions)
{
    ModbusDevice device;
    PortSettings_t settings;
    settings.portName = port;
    if (!device.open(settings))
        return 0;
    // The monitoring loop's shape: one value per output, merged into one read of the range.
    QList<RequestItem> items;
    for (int i = 0; i < registers; ++i) {
        QSharedPointer<Aout> out(new Aout(QUuid::createUuid()));
        const ProtoEntry entry{3, 6, quint32(i), 1};
        out->setRole(ValueRole::AoutValue, entry);
        items.append({out, entry, ValueRole::AoutValue});
    }
    int completed = 0;
    const QList<Request::Ptr_t> requests = ReqGen::makeMonRequests(items, [&completed](const Request& r) {
        if (r.error().ok())
            ++completed;
    });
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < transactions; ++i) {
        for (const Request::Ptr_t& r : requests) {
            r->prepare();
            r->doRequest(device);
            r->notify();
        }
    }
    return completed / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    SettingsProvider::instance();
    const int transactions = int(Bench::argument(argc, argv, 1, 3000, 90));

    SimulatedController controller;
    QVector<quint16> values(registers);
    for (int i = 0; i < registers; ++i)
        values[i] = quint16(i * 100);
    controller.setHoldingRegisters(0, values);

    QTextStream out(stdout);
    // Alternate the two in short rounds so that neither profits from a quieter machine, and take
    // the median round of each: a pty's latency wanders with the scheduler.
    constexpr int rounds = 9;
    std::vector<double> bares, layers;
    for (int round = 0; round < rounds; ++round) {
        bares.push_back(bareLoop(controller.portPath(), transactions / rounds));
        layers.push_back(requestLayer(controller.portPath(), transactions / rounds));
    }
    std::sort(bares.begin(), bares.end());
    std::sort(layers.begin(), layers.end());
    const double bare = bares[rounds / 2];
    const double layer = layers[rounds / 2];
    out << "bare libmodbus loop: " << QString::number(bare, 'f', 0) << " transactions/s\n"
        << "request layer:       " << QString::number(layer, 'f', 0) << " transactions/s\n"
        << "bare / layer:        " << QString::number(layer > 0 ? bare / layer : 0, 'f', 3) << "\n";
    return layer > 0 && bare > 0 ? 0 : 1;
}
