// The main window as the user meets it while monitoring a controller: found on its port, read and
// watched through the Device menu, with the tab bar over the resource tree and each kind of
// editor beside it, at the window's default size and at a laptop's, and the wait of its stop.
#include "gallery.h"

#include "communication/communication.h"
#include "communication/controlandmonitoring.h"
#include "communication/devicepool.h"
#include "communication/portenumerator.h"
#include "model/ain.h"
#include "model/flatconfiguration.h"
#include "model/systemmodel.h"
#include "model/wireformat.h"
#include "resourceconfigurator/editorainrules.h"
#include "resourceconfigurator/editorfixture.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourceconfigurator/resourcefixture.h"
#include "shell/deviceoperation.h"
#include "shell/scriptedprompts.h"
#include "shell/tavconfigurator.h"
#include "support/simulatedcontroller.h"

#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextStream>

namespace {

using namespace ResourceFixture;

void giveUp(const char* why)
{
    QTextStream(stderr) << "gallery: no monitoring scenes: " << why << '\n';
}

constexpr int WaitMs = 10000;

void thermometer(const IoResource::Ptr_t& input, qint32 range, qint32 sensor)
{
    EditorFixture::setConfig(input, [range, sensor](AbstractConfig& c) {
        EditorAinRules::switchMode(c.ain, range);
        c.ain.tsType = sensor;
        c.ain.sensors[0] = EditorAinRules::sensorParameters(sensor);
    });
}

template <typename T>
QByteArray wire(T value)
{
    QByteArray bytes;
    WireWriter(bytes) << value;
    return bytes;
}

// The controller holds a configuration with a resistance thermometer and a thermistor on the
// analogue inputs and filtered discrete inputs, and reports readings that never change, so every
// picture shows the same values whenever it is taken.
bool holdWatchedSystem(SimulatedController& controller)
{
    SystemModel held;
    const Device::Ptr_t tav = add(held, ModelFixture::kTav1020, 0);
    const Device::Ptr_t analogue = add(held, kPex5000, 1, QString(), tav->id());
    const Device::Ptr_t discrete = add(held, kPex2000, 2, QString(), tav->id());
    const QList<IoResource::Ptr_t> ains = ofKind(held, analogue, ResourceKind::Ain);
    const QList<IoResource::Ptr_t> dins = ofKind(held, discrete, ResourceKind::Din);
    const QList<IoResource::Ptr_t> douts = ofKind(held, discrete, ResourceKind::Dout);
    const QList<IoResource::Ptr_t> aouts = ofKind(held, discrete, ResourceKind::Aout);
    if (ains.size() < 3 || dins.isEmpty() || douts.isEmpty() || aouts.isEmpty())
        return false;
    thermometer(ains.at(0), Ain::Rtd, 2);
    // The thermistor with the catalogue's longest name: the closed sensor list must show it whole.
    thermometer(ains.at(2), Ain::Ntc, 104);
    for (const IoResource::Ptr_t& din : dins)
        EditorFixture::setConfig(din, [](AbstractConfig& c) {
            c.din.filterOn = true;
            c.din.filter = 20;
        });

    // Composing gives the resources their registers.
    QByteArray image;
    if (!FlatConfiguration(&held).compose(image) || !controller.setConfiguration(image)
        || !controller.setBus({{ModelFixture::kTav1020, 0, 31337, 9, 0, 77},
                               {kPex5000, 0, 101, 1, 0, 1},
                               {kPex2000, 0, 102, 2, 0, 1}}))
        return false;
    for (int i = 0; i < ains.size(); ++i) {
        controller.setEntryBytes(ains.at(i)->role(ValueRole::AinValue), wire(21.5f + i));
        controller.setEntryBytes(ains.at(i)->role(ValueRole::AinRaw), wire(108.4f + i));
    }
    for (int i = 0; i < dins.size(); ++i) {
        controller.setEntryBytes(dins.at(i)->role(ValueRole::DinState), QByteArray(1, char(i % 2)));
        controller.setEntryBytes(dins.at(i)->role(ValueRole::DinCounter), wire(quint32(40 * i)));
    }
    controller.setEntryBytes(douts.at(0)->role(ValueRole::DoutOverride), QByteArray(1, 1));
    controller.setEntryBytes(aouts.at(0)->role(ValueRole::AoutValue), wire(quint16(4200)));
    return true;
}

// A resource of the read system by where it sits: the read gives every node a new id.
IoResource::Ptr_t resourceAt(SystemModel& system, int number, int kind, int index)
{
    for (const DeviceHandle& h : system.deviceHandles()) {
        if (h.number == number)
            return ofKind(system, system.device(h.id), kind).value(index);
    }
    return {};
}

QModelIndex treeRow(ResourceConfigurator* page, const NodeId_t& id)
{
    return page->proxy()->mapFromSource(page->model()->indexes({id}).value(0));
}

} // namespace

TAV_GALLERY_SCENES(windowmonitoring)
{
    SimulatedController controller;
    if (!controller.isRunning() || !holdWatchedSystem(controller))
        return giveUp("the simulated controller cannot hold the system");
    ScriptedPrompts prompts;
    qputenv(PortEnumerator::ExtraPortsVariable, controller.portPath().toLocal8Bit());
    TavConfigurator window(false);
    window.communication()->setSystemPortSource([] { return QList<SerialPortInfo>(); });
    window.communication()->runComPortScan();
    DevicePool* pool = window.devicePool();
    if (!QTest::qWaitFor([pool] { return !pool->systems().isEmpty(); }, WaitMs))
        return giveUp("the controller was not found");
    if (!pool->activeSystem())
        pool->selectSystem(pool->systems().first()->id());

    QSignalSpy values(&window.model(), &SystemModel::changedValues);
    QSignalSpy readings(&window.model(), &SystemModel::changedDeviceValues);
    window.deviceOperation()->onMonitoring();
    // The batch's reads answer one by one: the pictures wait for the last of them, or a slow
    // machine shows rows still empty.
    const ControlAndMonitoring* monitoring = window.controlAndMonitoring();
    if (!QTest::qWaitFor(
            [&] { return !values.isEmpty() && !readings.isEmpty() && monitoring->pending() == 0; },
            WaitMs))
        return giveUp("no reading arrived");
    // One reading is all the pictures show: no later one may land between two of them.
    window.controlAndMonitoring()->setTickInterval(24 * 3600 * 1000);

    const struct
    {
        const char* name;
        int number, kind, index;
    } shown[] = {
        {"ain_rtd", 1, ResourceKind::Ain, 0}, {"ain_ntc", 1, ResourceKind::Ain, 2},
        {"din", 2, ResourceKind::Din, 0},     {"dout", 2, ResourceKind::Dout, 0},
        {"aout", 2, ResourceKind::Aout, 0},
    };
    const QSize sizes[] = {{970, 600}, {1366, 768}};
    for (const auto& s : shown) {
        const IoResource::Ptr_t resource = resourceAt(window.model(), s.number, s.kind, s.index);
        if (!resource)
            continue;
        ResourceConfigurator* page = window.resourcesPage();
        const QModelIndex row = treeRow(page, resource->id());
        page->view()->selectionModel()->select(
            row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        for (const QSize& size : sizes) {
            window.resize(size);
            page->view()->scrollTo(row);
            Gallery::save(&window, outDir,
                          QStringLiteral("window_monitoring_%1_%2x%3")
                              .arg(QLatin1String(s.name))
                              .arg(size.width())
                              .arg(size.height()));
        }
    }
    // Device > Stop on a slow line: while its end is on its way the window says what it waits
    // for, and nothing new starts.
    controller.misbehave({SimulatedController::Fault::Delay, 1, 1500, 16});
    window.resize(sizes[0]);
    window.deviceOperation()->offMonitoring();
    Gallery::save(&window, outDir, QStringLiteral("window_monitoring_ending_970x600"));
    QTest::qWaitFor([&window] { return window.statusBar()->isHidden(); }, 3 * WaitMs);
    qputenv(PortEnumerator::ExtraPortsVariable, "");
}
