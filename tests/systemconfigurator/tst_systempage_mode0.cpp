// The system page under the device-count limit: the cycle-time estimate of the system panel and
// cloning within the bus addresses. The limit mode is fixed by the application name when the
// catalogue first loads, so these cases run in a process of their own.
#include "model/device.h"
#include "panelprobe.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/informationstyled.h"
#include "systemconfigurator/loadcalculator.h"
#include "systemconfigurator/systemedits.h"
#include "systempagefixture.h"

#include <QtTest>

namespace {

enum : int { di8 = 1, cn8 = 2, do4 = 7, ao2 = 10, ai8 = 12 };

Device::Ptr_t deviceWith(int deviceClass, const QMap<int, int>& blocks, bool pollCounters = false)
{
    DeviceHandle handle;
    handle.id = QUuid::createUuid();
    const Device::Ptr_t device = Device::create(deviceClass, handle);
    DeviceTemplate tpl;
    tpl.loadClasses = blocks;
    device->applyTemplate(tpl);
    AbstractConfig config;
    device->exportConfig(config);
    config.device.pollCntr = pollCounters;
    device->importConfig(config);
    return device;
}

int cycleOf(const QList<Device::Ptr_t>& devices)
{
    return LoadCalculator(devices).cycleTime();
}

} // namespace

class SystemPageMode0Test : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCOMPARE(ModelFixture::loadCatalogueAs("Tav Configurator Test").mode, 0);
    }

    void workedCases()
    {
        // One output and one analogue block: 454.35 of base time and one pass of 419.68.
        QCOMPARE(cycleOf({deviceWith(Device::TavClass, {{do4, 1}, {ai8, 1}})}), 874);
        QCOMPARE(cycleOf({deviceWith(Device::TavClass, {{di8, 1}, {do4, 1}, {ao2, 1}})}), 505);
        // Ten blocks still fit one pass, and the result is the time of one block.
        QCOMPARE(cycleOf({deviceWith(Device::TavClass, {{do4, 1}, {ai8, 10}})}), 874);
    }

    void nothingToPollTakesNoTime()
    {
        QCOMPARE(cycleOf({}), 0);
        QCOMPARE(cycleOf({deviceWith(Device::PlcClass, {{do4, 1}, {ai8, 1}})}), 0);
        QCOMPARE(cycleOf({deviceWith(Device::TavClass, {})}), 0);
        QCOMPARE(cycleOf({deviceWith(Device::PlcClass, {{di8, 4}}),
                          deviceWith(Device::TavClass, {{do4, 1}, {ai8, 1}})}),
                 874);
    }

    void unpolledCountersAddNothing()
    {
        const int plain = cycleOf({deviceWith(Device::TavClass, {{di8, 1}, {do4, 1}})});
        QCOMPARE(cycleOf({deviceWith(Device::TavClass, {{di8, 1}, {cn8, 2}, {do4, 1}})}), plain);
        QVERIFY(cycleOf({deviceWith(Device::TavClass, {{di8, 1}, {cn8, 2}, {do4, 1}}, true)})
                > plain);
        // A device with only unpolled counters still counts as an input device, not as one with
        // outputs alone.
        QVERIFY(cycleOf({deviceWith(Device::TavClass, {{cn8, 1}, {do4, 1}})})
                != cycleOf({deviceWith(Device::TavClass, {{do4, 1}})}));
    }

    void passCount()
    {
        QCOMPARE(cycleCount(1, 454.35, 419.68), 1.0);
        // A pass that cannot hold two blocks takes one block each.
        QCOMPARE(cycleCount(5, 1000.0, 60000.0), 5.0);
        QCOMPARE(cycleCount(100, 454.35, 100 * 419.68), 8.0);
        QCOMPARE(cycleCount(200, 454.35, 200 * 419.68), 200.0);
    }

    void theSystemPanelShowsTheCycle()
    {
        SystemModel system;
        InformationStyled panel(&system);
        const InfoPanel* whole = panel.systemInfoPanel();
        QVERIFY(!whole->indicator(4)->isHidden());
        QCOMPARE(PanelProbe::title(whole, 4), QStringLiteral("Цикл, ms"));
        panel.setSystem({});
        QCOMPARE(PanelProbe::value(whole, 4), QStringLiteral("0"));

        // Enough analogue inputs to take more than a millisecond.
        const QList<DeviceHandle> bus = SystemFixture::controllerWithModules(
            ModelFixture::kTav1020, SystemFixture::typeWithBoards(3, 2), 0, 5);
        SystemFixture::addAll(system, bus);
        QList<Device::Ptr_t> devices;
        for (const DeviceHandle& h : bus)
            devices << system.device(h.id);
        const int micros = LoadCalculator(devices).cycleTime();
        QVERIFY(micros >= 1000);
        panel.setSystem(system.deviceHandles());
        QCOMPARE(PanelProbe::value(whole, 4), QString::number(micros / 1000));
    }

    void clonesStayWithinTheBusAddresses()
    {
        const DeviceType_t tav = SystemFixture::typeWithBoards(2, 2);
        TreeOfSystem s;
        QUndoStack stack;
        for (int i = 0; i < 244; ++i)
            QVERIFY(s.system.addDevice(ModelFixture::handleOf(tav, i)));
        s.reload();
        const QList<NodeId_t> ids = s.ids();
        // Three sources, one free address below the limit: one clone.
        stack.push(SystemConfiguration::SystemEdits::duplicate(s.tree, s.rows(ids.mid(0, 3)), &s.system));
        QCOMPARE(s.ids().size(), 245);
        s.reload();
        stack.push(SystemConfiguration::SystemEdits::duplicate(s.tree, s.rows(ids.mid(0, 3)), &s.system));
        QCOMPARE(s.ids().size(), 245);
    }
};

QTEST_MAIN(SystemPageMode0Test)
#include "tst_systempage_mode0.moc"
