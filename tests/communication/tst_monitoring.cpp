// The monitoring loop against a simulated controller on a pseudo-terminal, its requests run on the
// test's own thread in place of a channel: what a tick sends and brings back into the model, one
// batch at a time across stops and starts, the start and stop commands, and user control.
#include "model/aout.h"
#include "communication/controlandmonitoring.h"
#include "communication/modbusdevice.h"
#include "communication/multiwriterequest.h"
#include "configurationtraffic.h"
#include "model/din.h"
#include "model/dout.h"
#include "logcapture.h"
#include "monitoredsystem.h"
#include "support/isolatedenvironment.h"
#include "support/registerranges.h"

#include "communication/smartreadrequest.h"

#include <QtTest>

#include <algorithm>

namespace {

using Fault = SimulatedController::Fault;

QByteArray le16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

// A line as a debug stream writes it: items joined by spaces.
template <class... Items>
QString streamed(const Items&... items)
{
    QString line;
    {
        QDebug out(&line);
        (out << ... << items);
    }
    line.chop(1);
    return line;
}

QStringList linesStarting(const QString& start)
{
    QStringList found;
    for (const QString& line : LogCapture::lines())
        if (line.startsWith(start))
            found << line;
    return found;
}

} // namespace

class MonitoringTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    SimulatedController* controller = nullptr;
    ModbusDevice* device = nullptr;
    SystemModel* model = nullptr;
    ControlAndMonitoring* loop = nullptr;
    MonitoredSystem system;
    // While set, requests wait here as in a channel's queue.
    bool hold = false;
    QList<Request::Ptr_t> queued;

    void run(const Request::Ptr_t& request)
    {
        request->run(*device);
        request->notify();
    }

    void runQueued()
    {
        QList<Request::Ptr_t> batch;
        batch.swap(queued);
        std::stable_sort(batch.begin(), batch.end(),
                         [](const auto& a, const auto& b) { return a->priority() > b->priority(); });
        for (const Request::Ptr_t& r : qAsConst(batch))
            run(r);
    }

    template <class T>
    QSharedPointer<T> first(int kind) const
    {
        for (const IoResource::Ptr_t& r : model->resources())
            if (r->kind() == kind)
                return r.template dynamicCast<T>();
        return {};
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        QVERIFY(MonitoredSystem::module());
        LogCapture::install();
    }

    void cleanupTestCase() { LogCapture::uninstall(); }

    void init()
    {
        controller = new SimulatedController;
        device = new ModbusDevice;
        PortSettings_t settings;
        settings.portName = controller->portPath();
        QVERIFY(device->open(settings));
        model = new SystemModel;
        QVERIFY(system.build(*model));
        QVERIFY(controller->setBus(MonitoredSystem::bus()));
        loop = new ControlAndMonitoring(model);
        // The handshakes go to the selected controller only.
        const LiveSystem::Ptr_t live(new LiveSystem);
        QVERIFY(live->prepareSysBlock());
        run(SmartReadRequest::create(live->cpu(), nullptr));
        live->onSystemLoaded();
        loop->setSystem(live);
        hold = false;
        connect(loop, &ControlAndMonitoring::sendRequest, this, [this](Request::Ptr_t r) {
            if (hold)
                queued << r;
            else
                run(r);
        });
        LogCapture::clear();
    }

    void cleanup()
    {
        delete loop;
        delete model;
        delete device;
        delete controller;
        system = MonitoredSystem();
        queued.clear();
    }

    void tickReadsValuesIntoTheModel()
    {
        loop->monitoring(true);
        QCOMPARE(ConfigurationTraffic::of(controller->writes()).control,
                 ConfigurationTraffic::handshake(103));
        const auto aout = first<Aout>(ResourceKind::Aout);
        const auto din = first<Din>(ResourceKind::Din);
        const auto dout = first<Dout>(ResourceKind::Dout);
        QVERIFY(aout && din && dout);
        controller->setEntryBytes(aout->role(ValueRole::AoutValue), le16(2500));
        controller->setEntryBytes(din->role(ValueRole::DinState), QByteArray(1, 1));
        controller->setEntryBytes(din->role(ValueRole::DinCounter), le16(42) + le16(0));
        controller->setEntryBytes(dout->role(ValueRole::DoutState), QByteArray(1, 1));
        // The controller's record: AC supply with USB power (byte A), and its second reading.
        QByteArray block = SimulatedController::cpuBlock(MonitoredSystem::bus());
        block[20] = 3;
        const float reading = 7.5f;
        // The test hosts are little-endian like the wire.
        block.replace(44, 4, QByteArray(reinterpret_cast<const char*>(&reading), 4));
        QVERIFY(controller->setSysEntry("korcpu", block));
        controller->clearLog();
        QSignalSpy values(model, &SystemModel::changedValues);
        QSignalSpy deviceValues(model, &SystemModel::changedDeviceValues);

        loop->onMonitoringTick();
        const int reads = loop->monitoringRequests().size();
        QCOMPARE(LogCapture::count(QString("C&M [Tick] Send requests:  %1").arg(reads + 1)), 1);
        // One read per contiguous register range, and the CPU block's header and records.
        QList<ProtoEntry> polled;
        for (const IoResource::Ptr_t& r : model->resources())
            for (int role : r->kind() == ResourceKind::SerialPort ? QList<int>() : r->rolesB())
                polled << r->role(role);
        QCOMPARE(reads, RegisterRanges::leastReads(RegisterRanges::of(polled)));
        QCOMPARE(controller->servedCount(), reads + 2);
        QVERIFY(controller->writes().isEmpty());
        QCOMPARE(loop->pending(), 0);

        QCOMPARE(aout->valueText().value(2), QString("2.5 V"));
        QCOMPARE(din->valueText().value(1), QString("1"));
        QCOMPARE(din->valueText().value(2), QString("42"));
        QCOMPARE(dout->valueText().value(1), QString("1"));
        QCOMPARE(values.count(), reads);
        QList<NodeId_t> announced;
        for (const auto& call : values)
            announced += call[0].value<QList<NodeId_t>>();
        QVERIFY(announced.contains(aout->id()) && announced.contains(din->id()));
        QCOMPARE(deviceValues.count(), 1);
        QCOMPARE(deviceValues[0][0].value<QList<NodeId_t>>(),
                 (QList<NodeId_t>{system.tav->id(), system.pex->id()}));
        QCOMPARE(system.tav->readings()[1], 7.5);
        QCOMPARE(system.tav->readings()[2], 12.0);
        QCOMPARE(system.tav->supplyFlags(), 3);

        controller->clearLog();
        loop->monitoring(false);
        QCOMPARE(ConfigurationTraffic::of(controller->writes()).control,
                 ConfigurationTraffic::handshake(104));
    }

    // The tick's log lines keep the text a debug stream gives them, readings of every
    // notation included.
    void tickLogLines_data()
    {
        QTest::addColumn<float>("controllerReading");
        QTest::addColumn<float>("moduleReading");
        QTest::newRow("plain") << 7.5f << 0.0f;
        QTest::newRow("exponents") << 1234567.0f << -0.000123f;
        QTest::newRow("long fractions") << 3.14159265f << 230.4f;
        QTest::newRow("not finite") << std::numeric_limits<float>::infinity()
                                    << std::numeric_limits<float>::quiet_NaN();
    }

    void tickLogLines()
    {
        QFETCH(float, controllerReading);
        QFETCH(float, moduleReading);
        const QList<SimulatedController::BusDevice> bus = MonitoredSystem::bus();
        QByteArray block = SimulatedController::cpuBlock(bus);
        const int recordSize = (block.size() - 4) / bus.size();
        const float readings[] = {controllerReading, moduleReading};
        const quint8 flags[] = {3, 0};
        for (int i = 0; i < bus.size(); ++i) {
            // The test hosts are little-endian like the wire.
            block.replace(4 + i * recordSize + 40, 4,
                          QByteArray(reinterpret_cast<const char*>(&readings[i]), 4));
            block[4 + i * recordSize + 16] = char(flags[i]);
        }
        QVERIFY(controller->setSysEntry("korcpu", block));
        loop->monitoring(true);
        LogCapture::clear();

        loop->onMonitoringTick();
        const int batch = loop->monitoringRequests().size() + 1;
        QCOMPARE(linesStarting("C&M [Tick] Send requests:"),
                 QStringList{streamed("C&M [Tick] Send requests: ", batch)});
        QStringList fins;
        for (int pending = batch; pending > 1; --pending)
            fins << streamed("C&M [VAL] Mon Fin:", QString("Ok"), ", in prog:", pending);
        QCOMPARE(linesStarting("C&M [VAL] Mon Fin:"), fins);
        QCOMPARE(linesStarting("C&M [VAL] Fin:"),
                 QStringList{streamed("C&M [VAL] Fin:", QString("Ok"), ", in prog:", 1)});
        QStringList devices;
        const QList<DeviceHandle> handles = model->deviceHandles();
        QCOMPARE(handles.size(), bus.size());
        for (int i = 0; i < handles.size(); ++i)
            devices << streamed("Device:", handles[i].number, handles[i].type, readings[i],
                                int(flags[i]));
        QCOMPARE(linesStarting("Device:"), devices);

        hold = true;
        loop->onMonitoringTick();
        loop->onMonitoringTick();
        QCOMPARE(linesStarting("C&M [Tick] Request in progress:"),
                 QStringList{streamed("C&M [Tick] Request in progress: ", batch,
                                      ", skip iteration")});
        hold = false;
        runQueued();
    }

    void oneBatchAtATimeAcrossRuns()
    {
        hold = true;
        loop->monitoring(true);
        loop->monitoring(false);
        loop->monitoring(true);
        runQueued();
        // Each switch sent its own command, in the order of the switches.
        QCOMPARE(ConfigurationTraffic::of(controller->writes()).control,
                 ConfigurationTraffic::handshake(103) + ConfigurationTraffic::handshake(104)
                     + ConfigurationTraffic::handshake(103));

        loop->onMonitoringTick();
        const int batch = queued.size();
        QCOMPARE(loop->pending(), batch);
        loop->onMonitoringTick();
        QCOMPARE(queued.size(), batch);
        QCOMPARE(LogCapture::count(
                     QString("C&M [Tick] Request in progress:  %1 , skip iteration").arg(batch)),
                 1);
        runQueued();
        QCOMPARE(loop->pending(), 0);

        // One request of the batch still out is enough to skip a tick.
        loop->onMonitoringTick();
        QList<Request::Ptr_t> out;
        out.swap(queued);
        for (int i = 0; i + 1 < out.size(); ++i)
            run(out.at(i));
        QCOMPARE(loop->pending(), 1);
        loop->onMonitoringTick();
        QVERIFY(queued.isEmpty());
        run(out.last());
        loop->onMonitoringTick();
        QCOMPARE(queued.size(), batch);
        runQueued();

        // Stopped with a batch in flight whose queue is then emptied: the next run polls at once,
        // and the old batch, should it still call back, neither counts nor announces.
        loop->onMonitoringTick();
        const QList<Request::Ptr_t> stale = queued;
        loop->monitoring(false);
        loop->monitoring(true);
        queued.clear();
        loop->onMonitoringTick();
        QCOMPARE(queued.size(), batch);
        QSignalSpy values(model, &SystemModel::changedValues);
        QSignalSpy deviceValues(model, &SystemModel::changedDeviceValues);
        for (const Request::Ptr_t& r : stale) {
            QVERIFY(!queued.contains(r));
            run(r);
        }
        QCOMPARE(loop->pending(), batch);
        QCOMPARE(values.count() + deviceValues.count(), 0);
        runQueued();
        QCOMPARE(loop->pending(), 0);
        QCOMPARE(deviceValues.count(), 1);
    }

    // Each read announces its items' resources in item order, a resource polled for two roles
    // twice, on every tick of a run and after a restart.
    void announcedIdsFollowTheItems_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("restart");
        QTest::newRow("first tick") << 1 << false;
        QTest::newRow("third tick") << 3 << false;
        QTest::newRow("after a restart") << 2 << true;
    }

    void announcedIdsFollowTheItems()
    {
        QFETCH(int, ticks);
        QFETCH(bool, restart);
        loop->monitoring(true);
        for (int i = 1; i < ticks; ++i)
            loop->onMonitoringTick();
        if (restart) {
            loop->monitoring(false);
            loop->monitoring(true);
        }
        QSignalSpy values(model, &SystemModel::changedValues);
        loop->onMonitoringTick();
        const QList<Request::Ptr_t>& reads = loop->monitoringRequests();
        QCOMPARE(values.count(), reads.size());
        int twice = 0;
        for (int i = 0; i < reads.size(); ++i) {
            QList<NodeId_t> expected;
            for (const RequestItem& item : reads[i]->list())
                expected << item.resource->id();
            twice += expected.size() - QSet<NodeId_t>(expected.begin(), expected.end()).size();
            QCOMPARE(values[i][0].value<QList<NodeId_t>>(), expected);
        }
        QVERIFY(twice > 0);
    }

    // The devices' values are announced for the devices that took a record, in bus order,
    // tick after tick.
    void announcedDeviceIds_data()
    {
        // Devices by bus position: 0 the controller, 1 its module.
        QTest::addColumn<int>("removed");
        QTest::addColumn<bool>("moduleListed");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QList<int>>("announced");
        QTest::newRow("every device") << -1 << true << 1 << QList<int>{0, 1};
        QTest::newRow("every device, third tick") << -1 << true << 3 << QList<int>{0, 1};
        QTest::newRow("module removed while monitoring") << 1 << true << 2 << QList<int>{0};
        QTest::newRow("controller removed while monitoring") << 0 << true << 2 << QList<int>{1};
        QTest::newRow("module missing from the records") << -1 << false << 2 << QList<int>{0};
    }

    void announcedDeviceIds()
    {
        QFETCH(int, removed);
        QFETCH(bool, moduleListed);
        QFETCH(int, ticks);
        QFETCH(QList<int>, announced);
        QVERIFY(controller->setBus(MonitoredSystem::bus(moduleListed)));
        loop->monitoring(true);
        const QList<NodeId_t> ids{system.tav->id(), system.pex->id()};
        if (removed >= 0)
            model->removeDevice(ids[removed]);
        QSignalSpy deviceValues(model, &SystemModel::changedDeviceValues);
        for (int i = 0; i < ticks; ++i)
            loop->onMonitoringTick();
        QList<NodeId_t> expected;
        for (int i : announced)
            expected << ids[i];
        QCOMPARE(deviceValues.count(), ticks);
        for (const auto& call : deviceValues)
            QCOMPARE(call[0].value<QList<NodeId_t>>(), expected);
    }

    void userControlWritesControlledRoles()
    {
        QList<QSharedPointer<MultiWriteRequest>> writes;
        connect(loop, &ControlAndMonitoring::sendRequest, this, [&](Request::Ptr_t r) {
            if (auto w = r.dynamicCast<MultiWriteRequest>())
                writes << w;
        });
        const auto dout = first<Dout>(ResourceKind::Dout);
        const IoResource::Ptr_t port = model->serialPorts().value(0);
        QVERIFY(dout && port);
        AbstractValue v;
        v.kind = ResourceKind::Dout;
        v.dout.overrideValue = 1;
        dout->importValue(v);

        model->userControl({dout->id()});
        QVERIFY(writes.isEmpty()); // not monitoring

        loop->monitoring(true);
        controller->clearLog();
        model->userControl({dout->id()});
        const ProtoEntry over = dout->role(ValueRole::DoutOverride);
        QCOMPARE(controller->writes().size(), 1);
        QCOMPARE(controller->coils(int(over.offset), 1).value(0), quint8(1));
        // A serial port has one controlled role without registers; an empty list has none.
        model->userControl({port->id()});
        model->userControl({});
        QCOMPARE(writes.size(), 3);
        QVERIFY(writes[0]->error().ok());
        QCOMPARE(writes[1]->items().size(), 1);
        QCOMPARE(writes[1]->error().code, 1);
        QCOMPARE(writes[2]->items().size(), 0);
        QCOMPARE(controller->writes().size(), 1); // nothing of those two reached the wire

        // An editor echoing a refresh as user control writes nothing back.
        connect(model, &SystemModel::changedValues, model, &SystemModel::userControl);
        loop->onMonitoringTick();
        QCOMPARE(writes.size(), 3);
        QVERIFY(loop->isControlEnabled());
    }

    void failedReadsAndShortRecords()
    {
        loop->monitoring(true);
        const Device::Readings_t before{1, 2, 3, 4, 5};
        system.pex->setReadings(before);
        // The CPU block lists only the controller; every input-register read is refused.
        QVERIFY(controller->setBus(MonitoredSystem::bus(false)));
        controller->misbehave({Fault::Exception, SimulatedController::Forever, 2, 4, 0});
        QSignalSpy values(model, &SystemModel::changedValues);
        QSignalSpy deviceValues(model, &SystemModel::changedDeviceValues);

        loop->onMonitoringTick();
        QCOMPARE(loop->pending(), 0);
        QCOMPARE(deviceValues.count(), 0);
        int refused = 0;
        for (const Request::Ptr_t& r : loop->monitoringRequests())
            refused += r->registers().rcmd == 4 ? 1 : 0;
        QVERIFY(refused > 0);
        QCOMPARE(values.count(), loop->monitoringRequests().size() - refused);
        QCOMPARE(LogCapture::count("C&M [VAL] Fin: \"Fail - 1819"), 1);

        controller->clearFault();
        loop->onMonitoringTick();
        QCOMPARE(deviceValues.count(), 1);
        QCOMPARE(deviceValues[0][0].value<QList<NodeId_t>>(), QList<NodeId_t>{system.tav->id()});
        QCOMPARE(system.pex->readings(), before);
    }

    void systemWithoutInputsAndOutputs()
    {
        SystemModel bare;
        QVERIFY(bare.createDevice(system.tav->handle()));
        ControlAndMonitoring only(&bare);
        QList<Request::Ptr_t> sent;
        connect(&only, &ControlAndMonitoring::sendRequest, this, [&](Request::Ptr_t r) { sent << r; });
        only.monitoring(true);
        sent.clear();
        only.onMonitoringTick();
        QCOMPARE(sent, QList<Request::Ptr_t>{only.deviceRequest()});
        QCOMPARE(LogCapture::count("C&M [Tick] Send requests:  1"), 1);
    }
};

QTEST_GUILESS_MAIN(MonitoringTest)
#include "tst_monitoring.moc"
