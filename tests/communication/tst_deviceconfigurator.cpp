// What the device configurator owes its callers when requests fail, overtake each other or outlive
// their system, against a simulated controller through a real Modbus RTU master. The requests it
// emits wait in a list standing in for the channel's queue, so a test decides when they run (each
// on a thread of its own, as on a worker) and can lose the system while they wait. The main road
// through the real channel is in tst_deviceconfigurator_live.cpp.
#include "communication/deviceconfigurator.h"
#include "communication/modbusdevice.h"
#include "communication/smartreadrequest.h"
#include "configurationtraffic.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

#include <thread>

using Fault = SimulatedController::Fault;

class DeviceConfiguratorTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pex = 0;
    SimulatedController* controller = nullptr;
    ModbusDevice* device = nullptr;
    SystemModel* model = nullptr;
    DeviceConfigurator* configurator = nullptr;
    QList<Request::Ptr_t> queue;
    QByteArray held; // the image the controller holds

    void run(const Request::Ptr_t& request)
    {
        std::thread worker([&] { request->run(*device); });
        worker.join();
        request->notify();
    }

    void drain()
    {
        while (!queue.isEmpty())
            run(queue.takeFirst());
    }

    // The controller's system as detection finds it, selected.
    void detect()
    {
        LiveSystem::Ptr_t system(new LiveSystem);
        QVERIFY(system->prepareSysBlock());
        run(SmartReadRequest::create(system->cpu(), nullptr));
        system->onSystemLoaded();
        configurator->setSystem(system);
    }

    // The controller holds a system with `modules` modules; it is detected, selected and read.
    void setUpAndRead(int modules)
    {
        SystemModel source;
        QVERIFY(holdSystem(*controller, source, pex, modules));
        held = composed(source);
        detect();

        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        configurator->read();
        drain();
        QCOMPARE(loaded.count(), 1);
        QVERIFY(loaded[0][0].toBool());
        QCOMPARE(composed(*model), held);
        controller->clearLog();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        pex = twoBoardModule();
        QVERIFY(pex);
    }

    void init()
    {
        controller = new SimulatedController;
        QVERIFY(controller->isRunning());
        device = new ModbusDevice;
        PortSettings_t settings;
        settings.portName = controller->portPath();
        QVERIFY(device->open(settings));
        model = new SystemModel;
        configurator = new DeviceConfigurator(model);
        configurator->setImageWriteTimeout(150000);
        connect(configurator, &DeviceConfigurator::sendRequest, this,
                [this](Request::Ptr_t r) { queue.append(r); });
    }

    void cleanup()
    {
        queue.clear();
        delete configurator;
        delete model;
        delete device;
        delete controller;
    }

    // Refused reads and images that do not parse leave the user's configuration as it was.
    void failedReadsKeepTheModel()
    {
        setUpAndRead(3);
        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        controller->misbehave(Fault::Exception, 1, 2);
        configurator->read();
        drain();
        QByteArray corrupt = held;
        corrupt[20] = char(corrupt[20] ^ 0x5A);
        QVERIFY(controller->setConfiguration(corrupt));
        configurator->read();
        drain();
        QCOMPARE(loaded.count(), 2);
        QVERIFY(!loaded[0][0].toBool() && !loaded[1][0].toBool());
        QCOMPARE(configurator->lastError().code, 27);
        QCOMPARE(configurator->lastError().subCode, 12);
        QCOMPARE(composed(*model), held);

        // A read that another one overtakes is not applied: the newest walk alone answers.
        QVERIFY(controller->setConfiguration(held));
        configurator->read();
        configurator->read();
        drain();
        QCOMPARE(loaded.count(), 3);
        QVERIFY(loaded[2][0].toBool());
    }

    void lostOrReplacedSystemEndsPendingWork()
    {
        setUpAndRead(1);
        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy keepAlive(configurator, &DeviceConfigurator::keepAliveControl);
        QSignalSpy dropped(configurator, &DeviceConfigurator::forceDropChannel);
        model->removeDevice(model->deviceHandles().last().id);
        configurator->write();
        configurator->read();
        configurator->setSystem(LiveSystem::Ptr_t(new LiveSystem));
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(written.count(), 1);
        QVERIFY(!loaded[0][0].toBool() && !written[0][0].toBool());
        QCOMPARE(keepAlive.count(), 2);
        QVERIFY(keepAlive[1][0].toBool());
        // The old controller's late answers change nothing, and never drop the new one's channel.
        drain();
        QCOMPARE(loaded.count() + written.count() + keepAlive.count() + dropped.count(), 4);

        configurator->systemLost();
        configurator->read();
        configurator->write();
        QVERIFY(queue.isEmpty());
        QCOMPARE(loaded.count(), 2);
        QCOMPARE(written.count(), 2);
    }

    // The rewrite while monitoring never reports `written`, also when its system is lost, and
    // an edited resource that has left the model since is passed over.
    void rewriteOfEditedDevices()
    {
        setUpAndRead(2);
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        configurator->monitoring(true);
        QList<Device::Ptr_t> modules;
        for (const DeviceHandle& h : model->deviceHandles().mid(1)) {
            modules << model->device(h.id);
            for (const IoResource::Ptr_t& r : model->deviceResources(h.id, false)) {
                if (r->kind() != ResourceKind::Dout)
                    continue;
                AbstractConfig c;
                r->exportConfig(c);
                c.dout.save = c.dout.save ? 0 : 1;
                r->importConfig(c);
                model->resourceUpdated({r->id()});
                break;
            }
        }
        QCOMPARE(configurator->changedResources().size(), 2);
        model->removeDevice(modules[0]->id());

        configurator->defferedConfiguration();
        QCOMPARE(queue.size(), 4);
        QCOMPARE(queue[1]->resources().size(), 1);
        drain();
        QCoreApplication::processEvents();
        QByteArray block;
        QVERIFY(FlatConfiguration(model).deviceBlock(modules[1], block));
        QVERIFY(block != held.mid(int(modules[1]->imageOffset()), block.size()));
        QCOMPARE(controller->entryBytes({3, 6, ConfigurationTraffic::AreaBase
                                                   + quint32(modules[1]->imageOffset() / 2),
                                         quint32(block.size() / 2)}),
                 block);

        configurator->defferedConfiguration();
        configurator->systemLost();
        drain();
        QCoreApplication::processEvents();
        QCOMPARE(written.count(), 0);
    }

    // A controller read again whose system the model holds is read into the devices and
    // resources in place and announced once; another system replaces them. Either way the edits
    // waiting to be rewritten go with the configuration they were made to.
    void readOfTheSameSystemGoesInPlace_data()
    {
        QTest::addColumn<int>("modules");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("the same system, other settings") << 2 << true;
        QTest::newRow("a module more") << 3 << false;
    }

    void readOfTheSameSystemGoesInPlace()
    {
        QFETCH(int, modules);
        QFETCH(bool, inPlace);
        setUpAndRead(2);
        const Device::Ptr_t first = model->devices().first();
        configurator->monitoring(true);
        const IoResource::Ptr_t edited = model->resourcesOfKind(ResourceKind::Dout).last();
        AbstractConfig c;
        edited->exportConfig(c);
        c.dout.save = 1;
        edited->importConfig(c);
        model->resourceUpdated({edited->id()});
        QVERIFY(configurator->isReconfigurationPending());

        SystemModel source;
        QVERIFY(holdSystem(*controller, source, pex, modules));
        const QList<IoResource::Ptr_t> outputs = source.resourcesOfKind(ResourceKind::Dout);
        outputs.first()->exportConfig(c);
        c.dout.save = 1;
        outputs.first()->importConfig(c);
        QVERIFY(controller->setConfiguration(composed(source)));
        detect();

        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        QSignalSpy changed(model, &SystemModel::changed);
        QSignalSpy changedResources(model, &SystemModel::changedResources);
        configurator->read();
        drain();
        QCOMPARE(loaded.count(), 1);
        QVERIFY(loaded[0][0].toBool());
        QCOMPARE(composed(*model), composed(source));
        QCOMPARE(model->devices().first() == first, inPlace);
        QCOMPARE(changed.count(), inPlace ? 1 : 2);
        QCOMPARE(changedResources.count(), 0);
        QVERIFY(!configurator->isReconfigurationPending());
        QVERIFY(configurator->changedResources().isEmpty());
    }
};

QTEST_GUILESS_MAIN(DeviceConfiguratorTest)
#include "tst_deviceconfigurator.moc"
