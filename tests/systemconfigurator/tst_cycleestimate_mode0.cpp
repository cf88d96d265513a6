// The cycle-time estimate of the system panel. The estimate is only computed and shown while the
// system is limited by device count, so these cases run under another application name in a
// process of their own.
#include "model/device.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/loadcalculator.h"

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

class CycleEstimateTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { QCoreApplication::setApplicationName("Tav Configurator Test"); }

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
};

QTEST_GUILESS_MAIN(CycleEstimateTest)
#include "tst_cycleestimate_mode0.moc"
