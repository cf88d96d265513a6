// What every benchmark sets up the same way: settings kept out of the user's, log lines kept out
// of the figures, and medians.
#pragma once

#include "catalogue/settingsprovider.h"
#include "communication/portenumerator.h"
#include "model/flatconfiguration.h"
#include "model/systemmodel.h"
#include "support/simulatedcontroller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace Bench {

inline void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

class Environment
{
public:
    Environment()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        qInstallMessageHandler(quiet);
    }

private:
    QTemporaryDir config;
};

// A bench of the real window: its settings under the program's own names, and no port scanned
// but those the bench names later.
class WindowEnvironment : public Environment
{
public:
    WindowEnvironment()
    {
        qputenv(PortEnumerator::ExtraPortsVariable, "");
        QCoreApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
        QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    }
};

// The bus of the largest systems is built from modules of two I/O boards.
inline DeviceType_t twoBoardModule(const SettingsProvider& p)
{
    for (DeviceType_t t : p.pexTypes) {
        if (p.templates.value(t).boardIds.size() == 2)
            return t;
    }
    return 0;
}

// The largest system of the board budget, a TAV-1020-10 with ten two-board modules, built into
// `held` and put into `controller` as its bus and its configuration image; false when any of it
// failed. A smaller one has fewer `modules`.
inline bool holdLargestSystem(SimulatedController& controller, SystemModel& held, QByteArray& image,
                              int modules = 10)
{
    constexpr DeviceType_t controllerType = 0x0B0A140Au;
    const DeviceType_t module = twoBoardModule(SettingsProvider::instance());
    DeviceHandle h;
    h.type = controllerType;
    h.revision = 0;
    h.id = SystemModel::newNodeId();
    h.number = 0;
    const Device::Ptr_t owner = held.addDevice(h);
    QList<SimulatedController::BusDevice> bus{{controllerType, 0, 31337, 9, 0, 77}};
    for (int i = 1; i <= modules && owner && module; ++i) {
        h.type = module;
        h.id = SystemModel::newNodeId();
        h.owner = owner->id();
        h.number = i;
        if (!held.addDevice(h))
            return false;
        bus.append({module, 0, quint32(100 + i), quint32(i), 0, 1});
    }
    return owner && module && FlatConfiguration(&held).compose(image) && controller.isRunning()
        && controller.setBus(bus) && controller.setConfiguration(image);
}

// The test run starts every bench once in its short form (this variable set): a few rounds, so
// that a bench that no longer runs is seen. Its figures then mean nothing.
constexpr const char* ShortVariable = "TAV_BENCH_SHORT";

inline bool isShort()
{
    return qEnvironmentVariableIsSet(ShortVariable);
}

// The number given as argument `index`; without it `full`, or `brief` in the short form.
inline double argument(int argc, char* argv[], int index, double full, double brief)
{
    if (argc > index)
        return QString::fromLocal8Bit(argv[index]).toDouble();
    return isShort() ? brief : full;
}

// Runs the event loop until `done` holds or `ms` have passed; false when it never held.
inline bool waitFor(const std::function<bool()>& done, int ms = 20000)
{
    // Asleep between events, as the program is: a busy wait would take a core from the worker
    // thread and the simulated controller. The timer wakes it when nothing else comes.
    QTimer poll;
    poll.start(10);
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

inline double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : ns[ns.size() / 2] / 1e6;
}

inline qint64 timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed();
}

} // namespace Bench
