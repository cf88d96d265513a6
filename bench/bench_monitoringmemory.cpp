// The program's memory over a long monitoring session: the real main window, shown, monitoring a
// 22-board simulated controller (a TAV-1020-10 and ten two-board modules) whose live values change
// every 0.5 s. The monitoring tick and the value changes are sped up by the same factor, so a run of
// minutes stands for hours of a commissioning session. Prints the resident set after warm-up and at
// the end, and its growth per hour of the session it stands for and per hour of running.
//   bench_monitoringmemory [minutes (10)] [speed-up (16)]
#include "benchsupport.h"
#include "communication/communication.h"
#include "communication/controlandmonitoring.h"
#include "communication/devicepool.h"
#include "model/systemmodel.h"
#include "model/valueroles.h"
#include "shell/deviceoperation.h"
#include "shell/prompts.h"
#include "shell/tavconfigurator.h"
#include "widgets/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int valueChangeMs = 500;

// Nothing in this session is to be kept: the save question is answered with its second button,
// which gives the changes up.
class Unattended : public Prompts
{
public:
    int question(const QString&, const QString&, const QStringList&, int, int) override { return 1; }
    void information(const QString&, const QString&) override {}
    void warning(const QString&, const QString&) override {}
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    int exec(QDialog*) override { return 0; }
};

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void runFor(qint64 ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Bench::WindowEnvironment environment;
    initWidgets();
    // The short form's run is far below the least one may ask for.
    const double minutes = argc > 1 ? qMax(0.5, QString::fromLocal8Bit(argv[1]).toDouble())
                                    : Bench::argument(argc, argv, 1, 10.0, 0.05);
    const int speedUp = qMax(1, int(Bench::argument(argc, argv, 2, 16, 16)));
    QTextStream out(stdout);
    Unattended unattended;
    Prompts::install(&unattended);

    // The system the controller holds.
    SystemModel held;
    QByteArray image;
    SimulatedController controller;
    if (!Bench::holdLargestSystem(controller, held, image)) {
        out << "bench_monitoringmemory: set-up failed\n";
        return 1;
    }

    TavConfigurator window(false);
    window.show();
    window.controlAndMonitoring()->setTickInterval(ControlAndMonitoring::TickIntervalMs / speedUp);
    window.communication()->setSystemPortSource([] { return QList<SerialPortInfo>(); });
    qputenv(PortEnumerator::ExtraPortsVariable, controller.portPath().toLocal8Bit());
    window.communication()->runComPortScan();
    if (!Bench::waitFor([&] { return window.devicePool()->activeSystem() != nullptr; })) {
        out << "bench_monitoringmemory: the controller was not detected\n";
        return 1;
    }
    window.deviceOperation()->action(DeviceOperation::StartMenu)->trigger();
    if (!Bench::waitFor([&] { return window.controlAndMonitoring()->isMonitoring(); })) {
        out << "bench_monitoringmemory: monitoring did not start\n";
        return 1;
    }

    // Every live value the tree shows changes on each change tick.
    QList<ProtoEntry> values;
    for (const IoResource::Ptr_t& r : window.model().resources()) {
        for (const int role : {ValueRole::AinValue, ValueRole::AinRaw, ValueRole::AoutValue,
                               ValueRole::DinState, ValueRole::DinCounter, ValueRole::DoutState}) {
            const ProtoEntry entry = r->role(role);
            if (entry.registers > 0)
                values.append(entry);
        }
    }
    quint8 step = 0;
    // The simulated controller logs every request it serves; the log is counted and emptied as
    // the session goes, or it would be the growth this bench measures.
    qint64 requests = 0;
    QTimer changes;
    QObject::connect(&changes, &QTimer::timeout, [&] {
        requests += controller.servedCount();
        controller.clearLog();
        ++step;
        for (const ProtoEntry& entry : qAsConst(values)) {
            const int size = controller.entryBytes(entry).size();
            controller.setEntryBytes(entry, QByteArray(size, char(step & 0x3F)));
        }
    });
    changes.start(qMax(1, valueChangeMs / speedUp));

    const qint64 runMs = qint64(minutes * 60 * 1000);
    const qint64 warmUpMs = qMin<qint64>(60 * 1000, runMs / 5);
    runFor(warmUpMs);
    const long warm = residentKb();
    const qint64 servedWarm = requests;
    QElapsedTimer clock;
    clock.start();
    // One sample a minute shows whether the growth levels off.
    QList<long> samples;
    while (clock.elapsed() + 60 * 1000 < runMs - warmUpMs) {
        runFor(60 * 1000);
        samples.append(residentKb());
    }
    runFor(runMs - warmUpMs - clock.elapsed());
    const long end = residentKb();
    const double hours = clock.elapsed() / 3600000.0;
    const qint64 served = requests - servedWarm;
    changes.stop();
    const bool monitoring = window.controlAndMonitoring()->isMonitoring();
    window.deviceOperation()->action(DeviceOperation::StopMenu)->trigger();

    out << "22-board system monitored for " << QString::number(minutes, 'f', 1)
        << " min at " << speedUp << "x (tick " << ControlAndMonitoring::TickIntervalMs / speedUp
        << " ms, values changing every " << valueChangeMs / speedUp << " ms), " << values.size()
        << " live values, " << served << " requests served after warm-up"
        << (monitoring ? "" : " (MONITORING STOPPED)") << "\n"
        << "  RSS after " << warmUpMs / 1000 << " s warm-up: " << warm << " kB, at the end: " << end
        << " kB\n"
        << "  RSS each minute after warm-up (kB):";
    for (const long kb : qAsConst(samples))
        out << ' ' << kb;
    out << "\n  growth: " << QString::number((end - warm) / hours / 1024.0, 'f', 2)
        << " MB per hour of running, "
        << QString::number((end - warm) / (hours * speedUp) / 1024.0, 'f', 2)
        << " MB per hour of the session it stands for (aim < 1 MB)\n";
    Prompts::install(nullptr);
    return monitoring ? 0 : 1;
}
