// Live systems end to end: the device pool wired to a real communication object, its channels,
// worker threads and Modbus links, against simulated controllers on pseudo-terminals that the
// port scan finds through TAVCFG_EXTRA_PORTS.
#include "catalogue/settingsprovider.h"
#include "communication/communication.h"
#include "communication/communicationwiring.h"
#include "communication/controlrequest.h"
#include "communication/devicepool.h"
#include "communication/modbusdevice.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "support/simulatedcontroller.h"

#include <QtTest>

#include <mutex>

namespace {

using Fault = SimulatedController::Fault;

constexpr int WaitMs = 5000;

std::mutex logMutex;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

// Worker threads log too.
void keepLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    {
        std::lock_guard<std::mutex> lock(logMutex);
        logLines.append(message);
    }
    previousHandler(type, context, message);
}

bool loggedStart(const QString& start)
{
    std::lock_guard<std::mutex> lock(logMutex);
    for (const QString& line : qAsConst(logLines))
        if (line.startsWith(start))
            return true;
    return false;
}

void setExtraPorts(const QStringList& paths)
{
    qputenv(PortEnumerator::ExtraPortsVariable, paths.join(QLatin1Char(':')).toLocal8Bit());
}

} // namespace

class DevicePoolLiveTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    ProtoEntry korcpu;
    SimulatedController* controller = nullptr;
    Communication* communication = nullptr;
    DevicePool* pool = nullptr;

    QList<SimulatedController::BusDevice> bus(quint32 serial) const
    {
        return {{tav, 1, serial, 9, 0, 77}, {pex, 1, 5, 6, 0, 1}};
    }

    int cpuHeaderReads() const
    {
        int reads = 0;
        for (const auto& served : controller->served())
            reads += served.function == 4 && served.address == int(korcpu.offset);
        return reads;
    }

    // The controller's port found, its system filed and selected, and one check passed.
    void detectAndSelect(int intervalMs)
    {
        QVERIFY(controller->setBus(bus(31337)));
        communication->setKeepAliveInterval(intervalMs);
        setExtraPorts({controller->portPath()});
        QSignalSpy checked(pool, &DevicePool::systemChecked);
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        pool->selectSystem(pool->systems().first()->id());
        QTRY_VERIFY_WITH_TIMEOUT(checked.count() >= 1, WaitMs);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& p = SettingsProvider::instance();
        tav = ModelFixture::firstOfKind(p.tavTypes, 11);
        pex = ModelFixture::firstOfKind(p.pexTypes, 10);
        QVERIFY(tav && pex);
        QVERIFY(p.sysEntry("korcpu", &korcpu));
        previousHandler = qInstallMessageHandler(keepLog);
    }

    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        controller = new SimulatedController;
        QVERIFY(controller->isRunning());
        communication = new Communication;
        // Only the simulated controllers, never the machine's own serial ports.
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        pool = new DevicePool;
        wireCommunication(communication, pool);
        std::lock_guard<std::mutex> lock(logMutex);
        logLines.clear();
    }

    void cleanup()
    {
        delete pool;
        pool = nullptr;
        delete communication;
        communication = nullptr;
        delete controller;
        controller = nullptr;
        qunsetenv(PortEnumerator::ExtraPortsVariable);
    }

    void detectsTheSystemBehindEachPort()
    {
        SimulatedController blank;
        QVERIFY(blank.isRunning());
        QVERIFY(controller->setBus(bus(31337)));
        // A controller that reports serial number 0 is no system.
        QVERIFY(blank.setBus(bus(0)));
        setExtraPorts({controller->portPath(), blank.portPath()});
        QSignalSpy found(communication, &Communication::channelWasFound);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);

        communication->runComPortScan();
        QCOMPARE(found.count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(updated.count(), 1, WaitMs);

        const Channel::Id_t good = Channel::idFor(controller->portPath());
        QCOMPARE(lost[0][0].value<Channel::Id_t>(), Channel::idFor(blank.portPath()));
        QCOMPARE(communication->channelIds(), QList<Channel::Id_t>{good});
        QCOMPARE(pool->systems().size(), 1);
        const LiveSystem::Ptr_t system = pool->systems().first();
        QCOMPARE(pool->findSystemId(good), system->id());
        QCOMPARE(system->info().kernelSn, 31337u);
        QCOMPARE(system->info().kernelAux, 77u);
        QCOMPARE(system->info().cpuId, tav);
        QCOMPARE(system->info().address, quint8(controller->slaveAddress()));
        QCOMPARE(system->info().bus.size(), 1);
        QCOMPARE(system->info().bus.first().type, pex);
        QVERIFY(loggedStart("LiveSystem [Loaded]: After collection \"SysInfo [Kernel]: sn=31337, "
                            "id=9. "));
        QVERIFY(loggedStart("DevPool [detected], Error! system was not detected"));
        // Detection never activates a channel: the user selects.
        QVERIFY(!pool->activeSystem());
        QVERIFY(!communication->isKeepAliveRunning());
    }

    void selectsAndChecksAtTheInterval()
    {
        constexpr int IntervalMs = 200;
        QVERIFY(controller->setBus(bus(31337)));
        communication->setKeepAliveInterval(IntervalMs);
        setExtraPorts({controller->portPath()});
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);

        QSignalSpy activated(pool, &DevicePool::activateChannel);
        QSignalSpy selected(pool, &DevicePool::systemSelected);
        QSignalSpy checked(pool, &DevicePool::systemChecked);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);
        const LiveSystem::Ptr_t first = pool->systems().first();
        controller->clearLog();
        QElapsedTimer clock;
        clock.start();
        pool->selectSystem(first->id());
        QCOMPARE(activated.count(), 1);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected[0][0].value<LiveSystem::Ptr_t>(), first);
        QCOMPARE(communication->activeChannel(), Channel::idFor(controller->portPath()));
        QCOMPARE(pool->activeSystem(), first);

        QTRY_VERIFY_WITH_TIMEOUT(checked.count() >= 3, WaitMs);
        const qint64 elapsed = clock.elapsed();
        // Ticks come no sooner than the interval, and each reads the whole block again.
        QVERIFY2(elapsed >= 3 * IntervalMs * 95 / 100, qPrintable(QString::number(elapsed)));
        QVERIFY(checked.count() <= int(elapsed / (IntervalMs * 95 / 100)) + 1);
        QVERIFY(cpuHeaderReads() >= 3);
        QCOMPARE(dropped.count(), 0);
        QCOMPARE(first->info().kernelSn, 31337u);
    }

    // Another controller behind the same adapter: a check finds it and the channel goes; a clear
    // owed from an earlier run is not paid by it, whether the clear's first frame is lost as it
    // comes or the controller gone answers the identity read before the clear late, in the place
    // of its next try.
    void lossWhenAnotherControllerAnswers_data()
    {
        QTest::addColumn<int>("owedClearFault"); // None: at a check
        QTest::newRow("at a check") << int(Fault::None);
        QTest::newRow("as a clear owed from an earlier run is lost") << int(Fault::NoReply);
        QTest::newRow("as the identity read before a clear owed from an earlier run is late")
            << int(Fault::Busy);
    }

    void lossWhenAnotherControllerAnswers()
    {
        QFETCH(int, owedClearFault);
        if (owedClearFault != int(Fault::None)) {
            QVERIFY(controller->setBus(bus(31337)));
            QVERIFY(controller->setSysEntry("password", QByteArray("\xdd\x5b", 2)));
            pool->restoreOwedClears({{31337u, tav}});
            const bool late = owedClearFault == int(Fault::Busy);
            // Later than the read's time-out and the quiet the link waits for before its next
            // try; the detection's read of the block's records goes first.
            const int lateMs =
                Request::DefaultTimeoutUs / 1000 * (1 + ModbusDevice::LateAnswerTimeouts) + 500;
            controller->misbehave(late ? SimulatedController::Misbehaviour{Fault::Busy, 1, lateMs,
                                                                            4, 1,
                                                                            int(korcpu.offset) + 2}
                                       : SimulatedController::Misbehaviour{Fault::NoReply, 1, 0,
                                                                            16, 0});
            controller->replaceAtFault(bus(4242));
            setExtraPorts({controller->portPath()});
            communication->runComPortScan();
            QTRY_VERIFY_WITH_TIMEOUT(
                loggedStart("DevPool [debt], Warning! Owed password clear withheld"), 3 * WaitMs);
            QCOMPARE(controller->writes().size(), late ? 0 : 1);
            QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));
            QCOMPARE(pool->owedClears(), (QList<ControllerIdentity>{{31337u, tav}}));
            return;
        }
        detectAndSelect(150);
        QSignalSpy removed(pool, &DevicePool::activeRemoved);
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);

        QVERIFY(controller->setBus(bus(4242)));
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        QVERIFY(loggedStart("DevPool [KA], Error! Check system [R:S]= true false \"SysInfo "
                            "[Kernel]: sn=31337,"));
        QCOMPARE(updated.count(), 1);
        QVERIFY(pool->systems().isEmpty());
        QVERIFY(communication->channelIds().isEmpty());
        QVERIFY(!communication->isKeepAliveRunning());

        // The port is looked at again by itself, and the new controller found behind it.
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        QCOMPARE(pool->systems().first()->info().kernelSn, 4242u);
    }

    void lossWhenThePortVanishes_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::newRow("cable pulled, keep-alive fails") << true;
        QTest::newRow("port no longer listed") << false;
    }

    void lossWhenThePortVanishes()
    {
        QFETCH(bool, unplugged);
        detectAndSelect(150);
        QSignalSpy removed(pool, &DevicePool::activeRemoved);
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);

        if (unplugged) {
            controller->vanish();
        } else {
            setExtraPorts({});
            communication->runComPortScan();
        }
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        QCOMPARE(updated.count(), 1);
        QVERIFY(pool->systems().isEmpty());
        QVERIFY(!pool->activeSystem());
        QVERIFY(communication->channelIds().isEmpty());
        if (unplugged)
            QVERIFY(loggedStart("DevPool [KA], Error! Check system [R:S]= false"));
    }

    // A controller that owes the clear while another one is selected: a clear lost on its own
    // channel is tried there again, whether it was lost when the controller was found again or
    // while it stayed found; the selected controller is sent nothing.
    void owedClearOfAnUnselectedControllerIsRetried_data()
    {
        QTest::addColumn<bool>("away");
        QTest::newRow("owed while found, its clear lost") << false;
        QTest::newRow("owed while away, its clear lost when found again") << true;
    }

    void owedClearOfAnUnselectedControllerIsRetried()
    {
        QFETCH(bool, away);
        SimulatedController other;
        QVERIFY(other.isRunning());
        QVERIFY(other.setBus(bus(4242)));
        const QByteArray set("\xdd\x5b", 2);
        QVERIFY(other.setSysEntry("password", set));
        QVERIFY(controller->setBus(bus(31337)));
        communication->setKeepAliveInterval(150);
        setExtraPorts({controller->portPath(), other.portPath()});
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 2, WaitMs);
        LiveSystem::Ptr_t owing;
        for (const LiveSystem::Ptr_t& system : pool->systems()) {
            if (system->info().kernelSn == 31337u)
                pool->selectSystem(system->id());
            else
                owing = system;
        }
        QVERIFY(pool->activeSystem() && owing);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);

        // Every frame of one clear is refused.
        other.misbehave({Fault::Exception, ControlRequest::ClearTries, 0, 16, 0});
        if (away) {
            setExtraPorts({controller->portPath()});
            communication->runComPortScan();
            QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
            // Found again only once the pool's wait before paying has run out with it away.
            QSignalSpy checked(pool, &DevicePool::systemChecked);
            pool->owePasswordClear(owing);
            QTRY_VERIFY_WITH_TIMEOUT(checked.count() * 150 > 3 * DevicePool::PayDelayMs / 2,
                                     2 * WaitMs);
            setExtraPorts({controller->portPath(), other.portPath()});
            communication->runComPortScan();
        } else {
            pool->owePasswordClear(owing);
        }
        QTRY_COMPARE_WITH_TIMEOUT(other.writes().size(), ControlRequest::ClearTries, 2 * WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(other.sysEntry("password"), QByteArray(2, '\0'), 2 * WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(pool->owedClearCount(), 0, WaitMs);
        // Paid with two answered in a row.
        QCOMPARE(other.writes().size(), ControlRequest::ClearTries + 2);
        QCOMPARE(pool->activeSystem()->info().kernelSn, 31337u);
        QCOMPARE(pool->systems().size(), 2);
        QCOMPARE(dropped.count(), 0);
        QVERIFY(controller->writes().isEmpty());
    }

    void oneKeepAliveReadAtATime()
    {
        constexpr int IntervalMs = 100;
        detectAndSelect(IntervalMs);
        // Counting starts with no read on its way.
        const LiveSystem::Id_t id = pool->activeSystem()->id();
        pool->enableKeepAlive(false);
        QTRY_VERIFY_WITH_TIMEOUT(!pool->isCheckPending(id), WaitMs);
        // Every CPU block read now answers four ticks late, yet within the request's time-out.
        SimulatedController::Misbehaviour slow;
        slow.fault = Fault::Delay;
        slow.times = SimulatedController::Forever;
        slow.parameter = 4 * IntervalMs;
        slow.function = 4;
        controller->misbehave(slow);
        controller->clearLog();

        int outstanding = 0;
        int mostOutstanding = 0;
        int sends = 0;
        connect(pool, &DevicePool::sendRequest, this, [&] {
            ++sends;
            mostOutstanding = qMax(mostOutstanding, ++outstanding);
        });
        connect(pool, &DevicePool::systemChecked, this, [&] { --outstanding; });
        QSignalSpy ticks(communication, &Communication::needKeepAlive);
        QSignalSpy checked(pool, &DevicePool::systemChecked);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);
        pool->enableKeepAlive(true);

        QTRY_VERIFY_WITH_TIMEOUT(checked.count() >= 2, 4 * WaitMs);
        QCOMPARE(mostOutstanding, 1);
        QCOMPARE(dropped.count(), 0);
        QVERIFY2(ticks.count() >= sends + 4,
                 qPrintable(QStringLiteral("%1 ticks, %2 reads").arg(ticks.count()).arg(sends)));
        // Each check is one header and one body read; nothing queued behind it.
        QVERIFY(cpuHeaderReads() <= sends);
        disconnect(pool, nullptr, this, nullptr);
    }
};

QTEST_GUILESS_MAIN(DevicePoolLiveTest)
#include "tst_devicepool_live.moc"
