// The monitoring loop end to end: wired as the main window wires it to a real communication
// object, device pool, channel, worker thread and Modbus link, against a simulated controller on a
// pseudo-terminal that the port scan finds through TAVCFG_EXTRA_PORTS.
#include "communication/communication.h"
#include "communication/communicationwiring.h"
#include "communication/controlandmonitoring.h"
#include "communication/controlrequest.h"
#include "communication/devicepool.h"
#include "communication/modbusdevice.h"
#include "configurationtraffic.h"
#include "model/dout.h"
#include "logcapture.h"
#include "monitoredsystem.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

#include <utility>

namespace {

using Fault = SimulatedController::Fault;
constexpr int WaitMs = 5000;

} // namespace

class MonitoringLiveTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    SimulatedController* controller = nullptr;
    Communication* communication = nullptr;
    DevicePool* pool = nullptr;
    SystemModel* model = nullptr;
    ControlAndMonitoring* loop = nullptr;

    // Monitoring runs, its start handshake done and the keep-alive back.
    void startMonitoring()
    {
        loop->monitoring(true);
        QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control,
                                  ConfigurationTraffic::handshake(103), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
    }

    void detectAndSelect()
    {
        QVERIFY(controller->setBus(MonitoredSystem::bus()));
        communication->setKeepAliveInterval(150);
        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        pool->selectSystem(pool->systems().first()->id());
        QVERIFY(pool->activeSystem());
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
        QVERIFY(controller->isRunning());
        communication = new Communication;
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        pool = new DevicePool;
        model = new SystemModel;
        MonitoredSystem system;
        QVERIFY(system.build(*model));
        loop = new ControlAndMonitoring(model);
        loop->setTickInterval(100);
        wireCommunication(communication, pool, nullptr, loop);
        LogCapture::clear();
    }

    void cleanup()
    {
        delete loop;
        delete model;
        delete pool;
        delete communication;
        delete controller;
        qunsetenv(PortEnumerator::ExtraPortsVariable);
    }

    void monitorsAndControlsThroughTheChannel()
    {
        detectAndSelect();
        QSignalSpy deviceValues(model, &SystemModel::changedDeviceValues);
        QSignalSpy values(model, &SystemModel::changedValues);
        loop->monitoring(true);
        // No check between the password and its clear.
        QVERIFY(!pool->isKeepAliveEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        QSharedPointer<Dout> dout;
        for (const IoResource::Ptr_t& r : model->resources())
            if (!dout && r->kind() == ResourceKind::Dout)
                dout = r.dynamicCast<Dout>();
        QVERIFY(dout);
        controller->setEntryBytes(dout->role(ValueRole::DoutState), QByteArray(1, 1));

        QTRY_VERIFY_WITH_TIMEOUT(deviceValues.count() >= 2, WaitMs);
        QCOMPARE(ConfigurationTraffic::of(controller->writes()).control,
                 ConfigurationTraffic::handshake(103));
        QTRY_COMPARE_WITH_TIMEOUT(dout->valueText().value(1), QString("1"), WaitMs);
        QVERIFY(values.count() >= loop->monitoringRequests().size());
        QCOMPARE(model->device(model->deviceHandles().first().id)->readings()[2], 12.0);

        AbstractValue v;
        v.kind = ResourceKind::Dout;
        v.dout.overrideValue = 1;
        dout->importValue(v);
        controller->clearLog();
        model->userControl({dout->id()});
        QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 1, WaitMs);
        QCOMPARE(controller->writes()[0].function, 15);
        QCOMPARE(controller->writes()[0].address, int(dout->role(ValueRole::DoutOverride).offset));
        QCOMPARE(controller->writes()[0].values, QVector<quint16>{1});

        // A tick's read lost: the next value goes out once the identity reads name the
        // controller again.
        QVERIFY(!LogCapture::count("Fail - "));
        controller->clearLog();
        controller->misbehave({Fault::NoReply, 1, 0, 3});
        QTRY_COMPARE_WITH_TIMEOUT(LogCapture::count("Fail - "), 1, 2 * WaitMs);
        model->userControl({dout->id()});
        QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 1, 2 * WaitMs);

        // Two values set while a lost frame holds the line in doubt: the first, replaced before
        // it could go, is never sent; the last goes out once. A value whose write frame is lost
        // goes again.
        const int overrideAt = int(dout->role(ValueRole::DoutOverride).offset);
        const auto valueWrites = [&] {
            QStringList seen;
            for (const SimulatedController::Served& w : controller->writes())
                if (w.address == overrideAt)
                    seen << QString::number(w.values.value(0))
                                + (w.fault == Fault::NoReply ? " lost" : "");
            return seen;
        };
        const auto set = [&](int value) {
            v.dout.overrideValue = value;
            dout->importValue(v);
            model->userControl({dout->id()});
        };
        communication->setKeepAliveInterval(600000);
        communication->activate(communication->activeChannel());
        controller->clearLog();
        controller->misbehave(Fault::NoReply);
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > 0, 2 * WaitMs);
        set(0);
        set(1);
        QTRY_COMPARE_WITH_TIMEOUT(valueWrites(), QStringList({"1"}), 2 * WaitMs);
        controller->clearLog();
        controller->misbehave({Fault::NoReply, 1, 0, 15});
        // Written at its second try: not told as given up.
        QSignalSpy notWritten(loop, &ControlAndMonitoring::valuesNotWritten);
        set(0);
        QTRY_COMPARE_WITH_TIMEOUT(valueWrites(), QStringList({"0 lost", "0"}), 2 * WaitMs);
        QCOMPARE(notWritten.count(), 0);
        const int fails = LogCapture::count("Fail - ");

        // A value on the wire as monitoring ends is written, and not told otherwise.
        controller->clearLog();
        controller->misbehave({Fault::Delay, 1, 300, 15});
        set(1);
        QTRY_COMPARE_WITH_TIMEOUT(valueWrites(), QStringList({"1"}), WaitMs);
        loop->monitoring(false);
        QVERIFY(!pool->isKeepAliveEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control.mid(1),
                                  ConfigurationTraffic::handshake(104), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        QCOMPARE(LogCapture::count("Fail - "), fails);
        QCOMPARE(valueWrites(), QStringList({"1"}));
        QCOMPARE(notWritten.count(), 0);
    }

    // The controller goes while monitoring runs: its port vanishes, or another controller is
    // found behind it by a tick's read of the CPU block, or by the identity read before a value
    // write that follows a monitoring read lost in the move. The keep-alive, seconds away, has no
    // part in it: the channel goes at once, nothing queued behind the read (the batch's reads, a
    // value write) reaches the other controller, and its values are not shown. A tick's read of
    // the CPU block that is refused shows no controller: the write behind it waits for one.
    void controllerGoesWhileMonitoring_data()
    {
        QTest::addColumn<int>("fault"); // -1: the port vanishes
        QTest::addColumn<int>("function"); // of the frames the fault meets
        // A value set as the tick's read of the CPU block goes out (-1), or this long after
        // the fault.
        QTest::addColumn<int>("editMs");
        QTest::newRow("the port vanishes") << -1 << 0 << -1;
        QTest::newRow("another controller answers a tick's read of the CPU block")
            << int(Fault::Replaced) << 4 << -1;
        // A holding register read goes after the tick's read of the CPU block.
        QTest::newRow("another controller after a read lost in the move, a value set at once")
            << int(Fault::NoReply) << 3 << 0;
        QTest::newRow("another controller after a read lost in the move, a value set a second "
                      "later")
            << int(Fault::NoReply) << 3 << 1000;
        QTest::newRow("a tick's read of the CPU block refused, a value write queued behind it")
            << int(Fault::Exception) << 4 << -1;
    }

    void controllerGoesWhileMonitoring()
    {
        QFETCH(int, fault);
        QFETCH(int, function);
        QFETCH(int, editMs);
        detectAndSelect();
        QSignalSpy removed(pool, &DevicePool::activeRemoved);
        QSignalSpy deviceValues(model, &SystemModel::changedDeviceValues);
        loop->monitoring(true);
        QTRY_VERIFY_WITH_TIMEOUT(deviceValues.count() >= 1, WaitMs);

        if (fault >= 0) {
            communication->setKeepAliveInterval(600000);
            communication->activate(communication->activeChannel());
            ProtoEntry cpu;
            QVERIFY(SettingsProvider::instance().sysEntry("korcpu", &cpu));
            const int blockEnd = int(cpu.offset)
                                 + (SimulatedController::cpuBlock(MonitoredSystem::bus()).size() + 1)
                                     / 2;
            NodeId_t dout;
            for (const IoResource::Ptr_t& r : model->resources())
                dout = dout.isNull() && r->kind() == ResourceKind::Dout ? r->id() : dout;
            // A value the user sets as the read goes out waits behind it.
            bool edited = false;
            // Gone with the row: later rows' ticks must not reach its locals.
            QObject row;
            if (editMs < 0) {
                connect(loop, &ControlAndMonitoring::sendRequest, &row, [&](Request::Ptr_t request) {
                    if (request == loop->deviceRequest() && !std::exchange(edited, true))
                        model->userControl({dout});
                });
            } else {
                // The program's tick: the next one's read of the CPU block comes after the edit.
                loop->setTickInterval(ControlAndMonitoring::TickIntervalMs);
                QTRY_VERIFY_WITH_TIMEOUT(loop->pending() == 0, WaitMs);
            }
            QList<SimulatedController::BusDevice> other = MonitoredSystem::bus();
            other.first().serial = 4242;
            const bool refused = fault == int(Fault::Exception);
            controller->misbehave({Fault(fault), refused ? SimulatedController::Forever : 1,
                                   refused ? 0 : 4242, function, 0,
                                   function == 4 ? int(cpu.offset) : -1});
            if (fault == int(Fault::NoReply))
                controller->replaceAtFault(other);
            deviceValues.clear();
            const auto faultMet = [this] {
                for (const SimulatedController::Served& frame : controller->served())
                    if (frame.fault != SimulatedController::Fault::None)
                        return true;
                return false;
            };
            if (editMs >= 0) {
                QTRY_VERIFY_WITH_TIMEOUT(faultMet(), 2 * WaitMs);
                QTimer::singleShot(editMs, &row, [&] {
                    edited = true;
                    model->userControl({dout});
                });
            }
            QTRY_VERIFY_WITH_TIMEOUT(edited, 2 * WaitMs);
            loop->setTickInterval(100);
            // A write behind a read that found another controller never calls back: its channel
            // is gone by then.
            if (refused)
                QTRY_COMPARE_WITH_TIMEOUT(LogCapture::count("C&M [WR] Fin"), 1, 2 * WaitMs);
            else
                QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, 2 * WaitMs);
            QVERIFY(controller->waitForServed(controller->servedCount()));
            QList<SimulatedController::Served> served = controller->served();
            while (!served.isEmpty() && served.first().fault == SimulatedController::Fault::None)
                served.removeFirst();
            QVERIFY(!served.isEmpty());
            // Nothing is written to the other controller, or to none.
            for (const SimulatedController::Served& frame : qAsConst(served))
                QVERIFY(frame.function <= 4);
            if (fault == int(Fault::Replaced)) {
                QCOMPARE(deviceValues.count(), 0);
                for (const SimulatedController::Served& frame : qAsConst(served))
                    QVERIFY(frame.function == 4 && frame.address >= int(cpu.offset)
                            && frame.address < blockEnd);
            }
            QCOMPARE(LogCapture::count("DevPool [replaced]"), refused ? 0 : 1);
            QCOMPARE(LogCapture::count("DevPool [KA]"), 0);
            // A refusal names nobody: the write is withheld, the channel stays for the
            // keep-alive to judge.
            if (refused) {
                QCOMPARE(removed.count(), 0);
                loop->monitoring(false);
                return;
            }
        } else {
            controller->vanish();
            QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        }
        // Replies on their way when the cable went may still land; after the loss nothing does.
        QSignalSpy values(model, &SystemModel::changedValues);
        deviceValues.clear();
        const int ticks = LogCapture::count("C&M [Tick]");
        QTRY_VERIFY_WITH_TIMEOUT(LogCapture::count("C&M [Tick]") >= ticks + 3, WaitMs);
        QCOMPARE(values.count() + deviceValues.count(), 0);

        // Stopping and starting without a controller neither hangs nor reports anything.
        loop->monitoring(false);
        loop->monitoring(true);
        loop->onMonitoringTick();
        QCOMPARE(loop->pending(), loop->monitoringRequests().size() + 1);
        loop->monitoring(false);
        QCOMPARE(values.count() + deviceValues.count(), 0);
    }

    // Stopped while the start handshake waits: the window empties the queue and then sends the
    // stop, whose clear locks the controller; the released start lets go of the keep-alive.
    void stopDuringTheStartHandshake()
    {
        detectAndSelect();
        controller->clearLog();
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 16, 0});
        loop->monitoring(true);
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() >= 1, WaitMs);
        communication->monitoringMode(false);
        loop->monitoring(false);
        QTRY_COMPARE_WITH_TIMEOUT(
            ConfigurationTraffic::of(controller->writes()).control,
            (ConfigurationTraffic::Words{{ConfigurationTraffic::PasswordRegister, {23517}},
                                         {ConfigurationTraffic::PasswordRegister + 1, {103}}}
             + ConfigurationTraffic::handshake(104)),
            WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        // The stop's clear settled the start's: nothing is owed.
        QCOMPARE(pool->owedClearCount(), 0);
    }

    // The clear that ends a monitoring handshake is lost while the controller goes on answering:
    // the controller owes it like any other and is locked on the same channel, or, when its port
    // goes first, once it is found again. A clear sent while a busy controller is yet to answer
    // a handshake word late goes unheard: it waits for a quiet line instead, and nothing is owed.
    void lostHandshakeClearIsPaid_data()
    {
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("away");
        QTest::addColumn<int>("late");
        QTest::newRow("after the start command") << true << false << -1;
        QTest::newRow("after the stop command") << false << false << -1;
        QTest::newRow("after the start command, then the port lost and back")
            << true << true << -1;
        QTest::newRow("start password answered late") << true << false << 0;
        QTest::newRow("start command answered late") << true << false << 1;
    }

    void lostHandshakeClearIsPaid()
    {
        QFETCH(bool, start);
        QFETCH(bool, away);
        QFETCH(int, late);
        detectAndSelect();
        QSignalSpy lost(communication, &Communication::channelWasLost);
        if (!start)
            startMonitoring();
        controller->clearLog();
        if (late >= 0) {
            controller->misbehave({SimulatedController::Fault::Busy, 1, 2500, 16, late});
            loop->monitoring(start);
            // The word answered late failed: two clears answered in a row close the handshake.
            QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control.size(),
                                      late + 3, 3 * WaitMs);
            QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
            QCOMPARE(pool->owedClearCount(), 0);
            loop->monitoring(false);
            return;
        }
        // The password and the command are taken; every frame of the clear is refused.
        controller->misbehave({SimulatedController::Fault::Exception, ControlRequest::ClearTries,
                               0, 16, 2});
        loop->monitoring(start);
        QTRY_COMPARE_WITH_TIMEOUT(pool->owedClearCount(), 1, WaitMs);
        QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));
        if (away) {
            controller->vanish();
            QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, WaitMs);
            QCOMPARE(pool->owedClearCount(), 1);
            QVERIFY(controller->reappear());
            communication->runComPortScan();
            QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        }
        QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"), QByteArray(2, '\0'),
                                  2 * WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(pool->owedClearCount(), 0, WaitMs);
        QCOMPARE(lost.count(), away ? 1 : 0);
        QCOMPARE(LogCapture::count("DevPool [debt], Owed password clear paid:"), 1);
        loop->monitoring(false);
    }

    // Another controller behind the adapter (same type, another serial number) is sent nothing
    // under the password: not the stop of a monitoring it came into, nor what follows a lost
    // frame of a start's or stop's clear, nor a stop queued behind such a start. The channel
    // goes; whichever controller may hold the password owes the clear.
    void anotherControllerIsSentNoHandshake_data()
    {
        QTest::addColumn<bool>("start");
        // The stop is queued behind the start at once.
        QTest::addColumn<bool>("queuedStop");
        // The other controller comes as the clear's first frame is lost; else before the stop.
        QTest::addColumn<bool>("clearLost");
        // The controller gone answers the identity read before the password late, in the place
        // of its next try, which the other one does not answer.
        QTest::addColumn<bool>("identityLate");
        QTest::newRow("start, clear lost, then another controller")
            << true << false << true << false;
        QTest::newRow("stop, clear lost, then another controller")
            << false << false << true << false;
        QTest::newRow("stop queued behind a start whose clear is lost, then another controller")
            << true << true << true << false;
        QTest::newRow("stop, another controller came while monitoring")
            << false << false << false << false;
        QTest::newRow("stop, its identity read answered late by the controller gone")
            << false << false << false << true;
    }

    void anotherControllerIsSentNoHandshake()
    {
        QFETCH(bool, start);
        QFETCH(bool, queuedStop);
        QFETCH(bool, clearLost);
        QFETCH(bool, identityLate);
        detectAndSelect();
        // No check in between: only the handshakes meet the other controller.
        communication->setKeepAliveInterval(600000);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        if (!start)
            startMonitoring();
        controller->clearLog();
        QList<SimulatedController::BusDevice> other = MonitoredSystem::bus();
        other.first().serial += 1000;
        if (clearLost) {
            controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 16, 2});
            controller->replaceAtFault(other);
        } else if (identityLate) {
            ProtoEntry cpu;
            QVERIFY(SettingsProvider::instance().sysEntry("korcpu", &cpu));
            // No tick's or check's read of the CPU block is on its way to meet the fault first.
            communication->activate(communication->activeChannel());
            QTRY_VERIFY_WITH_TIMEOUT(loop->pending() == 0
                                         && !pool->isCheckPending(pool->activeSystem()->id()),
                                     WaitMs);
            // Later than the read's time-out and the quiet the link waits for before its next
            // try; the block's records follow its two-register header.
            const int lateMs =
                Request::DefaultTimeoutUs / 1000 * (1 + ModbusDevice::LateAnswerTimeouts) + 500;
            controller->misbehave({Fault::Busy, 1, lateMs, 4, 0, int(cpu.offset) + 2});
            controller->replaceAtFault(other);
        } else {
            QVERIFY(controller->setBus(other));
        }
        loop->monitoring(start);
        if (queuedStop)
            loop->monitoring(false);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3 * WaitMs);
        QCOMPARE(controller->writes().size(), clearLost ? 3 : 0);
        QCOMPARE(controller->sysEntry("password"),
                 clearLost ? QByteArray("\xdd\x5b", 2) : QByteArray(2, '\0'));
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        QCOMPARE(pool->owedClearCount(), clearLost ? 2 : 0);
        loop->monitoring(false);
    }

    // A channel dropped between the password and its clear leaves the clear owed to the
    // controller, and the dropped handshake lets go of the keep-alive.
    void droppedDuringTheStartHandshake()
    {
        detectAndSelect();
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 16, 0});
        loop->monitoring(true);
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() >= 1, WaitMs);
        communication->dropChannel(communication->activeChannel());
        QCOMPARE(pool->owedClearCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
    }

    // A stop queued behind a read on the wire as the channel goes never reaches the controller,
    // which stays in monitoring mode: that is told, for the controller monitored.
    void droppedBeforeTheStopIsTold()
    {
        detectAndSelect();
        startMonitoring();
        const LiveSystem::Ptr_t monitored = pool->activeSystem();
        QSignalSpy notSent(loop, &ControlAndMonitoring::stopNotSent);
        const int served = controller->servedCount();
        // Silent from then on: a stop the drop finds already on the wire goes unanswered and is
        // told as withheld, never answered and left untold.
        controller->misbehave({Fault::NoReply, SimulatedController::Forever, 0, 0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, WaitMs);
        loop->monitoring(false);
        communication->dropChannel(communication->activeChannel());
        QTRY_COMPARE_WITH_TIMEOUT(notSent.count(), 1, WaitMs);
        QCOMPARE(notSent[0][0].value<LiveSystem::Ptr_t>(), monitored);
    }
};

QTEST_GUILESS_MAIN(MonitoringLiveTest)
#include "tst_monitoring_live.moc"
