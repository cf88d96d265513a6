// The configuration road end to end: the device configurator wired as the main window wires it to
// a real communication object, device pool, channel and worker thread, against a simulated
// controller on a pseudo-terminal that the port scan finds through TAVCFG_EXTRA_PORTS.
#include "communication/communication.h"
#include "communication/communicationwiring.h"
#include "communication/devicepool.h"
#include "communication/modbusdevice.h"
#include "communication/controlrequest.h"
#include "communication/deviceconfigurator.h"
#include "configurationtraffic.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

using Fault = SimulatedController::Fault;
using Traffic = ConfigurationTraffic;
constexpr int WaitMs = 5000;

class DeviceConfiguratorLiveTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pex = 0;
    SimulatedController* controller = nullptr;
    Communication* communication = nullptr;
    DevicePool* pool = nullptr;
    SystemModel* model = nullptr;
    DeviceConfigurator* configurator = nullptr;

    // A controller and two modules, holding the image of that system; found, selected and read.
    void detectAndRead()
    {
        SystemModel source;
        QVERIFY(holdSystem(*controller, source, pex, 2));
        const QByteArray held = composed(source);

        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        pool->selectSystem(pool->systems().first()->id());
        QVERIFY(configurator->system());

        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        configurator->read();
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WaitMs);
        QVERIFY(loaded[0][0].toBool());
        QCOMPARE(composed(*model), held);
        controller->clearLog();
    }

    DeviceType_t otherModule() const
    {
        for (DeviceType_t t : SettingsProvider::instance().pexTypes)
            if (t != pex)
                return t;
        return 0;
    }

    // Function-16 writes of a write sequence before its command word: the password and the
    // image's chunks.
    static int writesBeforeCommand(const QByteArray& image)
    {
        const int registers = (image.size() + 1) / 2;
        return 1 + (registers + ModbusDevice::MaxWriteItems - 1) / ModbusDevice::MaxWriteItems;
    }

    // Function-16 writes of a rewrite of module 2 before its command word.
    int rewritesBeforeCommand() const
    {
        QByteArray block;
        return FlatConfiguration(model).deviceBlock(module(2), block) ? writesBeforeCommand(block)
                                                                      : -1;
    }

    // Starts a write of the whole system, or a rewrite of module 2 while monitoring; `skip` then
    // counts the function-16 writes ahead of the one at `stage`.
    enum Stage { Password, Chunk, Command, Clear };
    int startSequence(bool rewrite, Stage stage)
    {
        const int beforeCommand =
            rewrite ? rewritesBeforeCommand() : writesBeforeCommand(composed(*model));
        const int skip[] = {0, 1, beforeCommand, beforeCommand + 1};
        return skip[stage];
    }
    void runSequence(bool rewrite)
    {
        if (rewrite) {
            configurator->setReconfigurationDelay(10);
            configurator->monitoring(true);
            editModule(2);
        } else {
            configurator->write();
        }
    }

    int passwordClears() const
    {
        int clears = 0;
        for (const auto& w : Traffic::of(controller->writes()).control)
            clears += w == Traffic::Words::value_type{Traffic::PasswordRegister, {0}};
        return clears;
    }

    Device::Ptr_t module(int number) const
    {
        for (const Device::Ptr_t& d : model->devices())
            if (d->deviceClass() == Device::PexClass && d->number() == number)
                return d;
        return {};
    }

    // Flips the safe state of the module's first discrete output, as an editor would.
    void editModule(int number)
    {
        for (const IoResource::Ptr_t& r : model->deviceResources(module(number)->id(), false)) {
            if (r->kind() != ResourceKind::Dout)
                continue;
            AbstractConfig c;
            r->exportConfig(c);
            c.dout.save = c.dout.save ? 0 : 1;
            r->importConfig(c);
            model->resourceUpdated({r->id()});
            return;
        }
        QFAIL("no discrete output");
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
        communication = new Communication;
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        communication->setKeepAliveInterval(200);
        pool = new DevicePool;
        model = new SystemModel;
        configurator = new DeviceConfigurator(model);
        configurator->setImageWriteTimeout(300000);
        wireCommunication(communication, pool, configurator);
    }

    void cleanup()
    {
        delete configurator;
        delete model;
        delete pool;
        delete communication;
        delete controller;
        qunsetenv(PortEnumerator::ExtraPortsVariable);
    }

    // 102 while the structure matches the controller's: the channel stays. 101 after a module
    // was removed or replaced by one of another type: the channel is dropped and the restarted
    // controller found again.
    void writesTheImageUnderThePassword_data()
    {
        QTest::addColumn<bool>("retype");
        QTest::newRow("module removed") << false;
        QTest::newRow("module of another type") << true;
    }

    void writesTheImageUnderThePassword()
    {
        QFETCH(bool, retype);
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        const QByteArray expected = composed(*model);
        configurator->write();
        QVERIFY(!pool->isKeepAliveEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        Traffic t = Traffic::of(controller->writes());
        QCOMPARE(t.control, Traffic::handshake(102));
        QCOMPARE(t.areaStart, Traffic::AreaBase);
        QCOMPARE(t.area, expected);

        const LiveSystem::Id_t before = pool->activeSystem()->id();
        DeviceHandle last = model->deviceHandles().last();
        if (retype) {
            last.type = otherModule();
            QVERIFY(model->createDevice(last));
            QCOMPARE(model->deviceHandles().size(), 3);
        } else {
            model->removeDevice(last.id);
        }
        controller->clearLog();
        configurator->write();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, WaitMs);
        t = Traffic::of(controller->writes());
        QCOMPARE(t.control, Traffic::handshake(101));
        QCOMPARE(t.area, composed(*model));
        QCOMPARE(written.count(), 2);
        QVERIFY(written[0][0].toBool() && written[1][0].toBool());
        QVERIFY(!configurator->system());
        QVERIFY(pool->isKeepAliveEnabled());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        QVERIFY(pool->systems().first()->id() != before);
    }

    // Whatever fails, the command word follows only a whole image and the password is cleared.
    // Another controller answering once a frame went unanswered (the cable moved meanwhile) is
    // not sent the clear: the controller that took the password owes it, and the channel goes.
    void failedWritesAreReportedAndLocked_data()
    {
        QTest::addColumn<int>("fault");
        // Function-16 writes ahead of the failing one; -1: all but the command word.
        QTest::addColumn<int>("skip");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("time-out in the image") << int(Fault::NoReply) << 2 << false;
        QTest::newRow("exception on the image") << int(Fault::Exception) << 1 << false;
        QTest::newRow("time-out at the command, then another controller answers")
            << int(Fault::NoReply) << -1 << true;
    }

    void failedWritesAreReportedAndLocked()
    {
        QFETCH(int, fault);
        QFETCH(int, skip);
        QFETCH(bool, replaced);
        detectAndRead();
        model->removeDevice(model->deviceHandles().last().id);
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        if (skip < 0)
            skip = writesBeforeCommand(composed(*model));
        controller->misbehave({Fault(fault), 1, 2, 16, skip});
        configurator->write();
        if (replaced) {
            QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), skip + 1, WaitMs);
            QVERIFY(controller->setBus(heldBus(pex, 2, 4242)));
            QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
            QCOMPARE(passwordClears(), 0);
            QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));
            // The frames since the owner was last read may have reached the other one as well.
            QList<quint32> owing;
            for (const ControllerIdentity& c : pool->owedClears())
                owing << c.first;
            QCOMPARE(owing, (QList<quint32>{4242, 31337}));
            // Whichever controller is there now is found anew.
            QCOMPARE(lost.count(), 1);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        // After a failed frame, two clears answered in a row.
        QCOMPARE(Traffic::of(controller->writes()).control,
                 (Traffic::Words{{Traffic::PasswordRegister, {23517}},
                                 {Traffic::PasswordRegister, {0}},
                                 {Traffic::PasswordRegister, {0}}}));
        QCOMPARE(written.count(), 1);
        QVERIFY(!written[0][0].toBool());
        // The controller was never told to restart, so its channel stays.
        QCOMPARE(lost.count(), 0);

        // An empty system composes to no configuration at all: nothing is sent.
        model->clear();
        controller->clearLog();
        configurator->write();
        QCOMPARE(written.count(), 2);
        QVERIFY(!written[1][0].toBool());
        QVERIFY(pool->isKeepAliveEnabled());
        QVERIFY(controller->writes().isEmpty());
    }

    void rewritesEditedDevicesAtTheirPlace()
    {
        detectAndRead();
        QByteArray held = composed(*model);
        configurator->setReconfigurationDelay(50);
        QSignalSpy work(configurator, &DeviceConfigurator::passwordWork);
        editModule(1);
        QVERIFY(!configurator->isReconfigurationPending());
        configurator->monitoring(true);
        editModule(2);
        editModule(2);
        QVERIFY(configurator->hasUnwrittenEdits());
        QTRY_COMPARE_WITH_TIMEOUT(Traffic::of(controller->writes()).control.size(), 3, WaitMs);

        const Device::Ptr_t edited = module(2);
        QByteArray block;
        QVERIFY(FlatConfiguration(model).deviceBlock(edited, block));
        const Traffic t = Traffic::of(controller->writes());
        QCOMPARE(t.control, Traffic::handshake(102));
        QCOMPARE(t.areaStart, Traffic::AreaBase + int(edited->imageOffset() / 2));
        QCOMPARE(t.area, block);
        // The rewrite works under the password too, as a write does, but lets the checks go on.
        QTRY_COMPARE_WITH_TIMEOUT(work.count(), 2, WaitMs);
        QVERIFY(work[0][0].toBool() && !work[1][0].toBool());
        // Module 1 was edited before monitoring began, so the controller keeps its old block.
        held.replace(int(edited->imageOffset()), block.size(), block);
        QCOMPARE(controller->entryBytes({3, 6, Traffic::AreaBase, quint32(held.size() / 2)}), held);

        QVERIFY(!configurator->hasUnwrittenEdits());
        configurator->monitoring(false);
        QVERIFY(configurator->changedResources().isEmpty());
        QVERIFY(!configurator->hasUnwrittenEdits());
    }

    void portVanishingDuringAWrite()
    {
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy removed(pool, &DevicePool::activeRemoved);
        // The first block of the image is held at the controller while the cable is pulled.
        controller->misbehave({Fault::Delay, 1, 300, 16, 1});
        configurator->write();
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() >= 2, WaitMs);
        controller->vanish();

        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        QCOMPARE(written.count(), 1);
        QVERIFY(!written[0][0].toBool());
        QVERIFY(!configurator->system());
        QVERIFY(pool->isKeepAliveEnabled());
        QVERIFY(Traffic::of(controller->writes()).control.size() <= 1);
    }

    // A queue emptied while the system stays selected (monitoring switched off) releases the
    // sequence unanswered: it is reported, the password is cleared and the keep-alive comes back.
    void releasedSequencesEndLocked_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("stranger");
        QTest::newRow("write") << true << false;
        QTest::newRow("rewrite while monitoring") << false << false;
        QTest::newRow("write, then another controller answers the clear") << true << true;
    }

    void releasedSequencesEndLocked()
    {
        QFETCH(bool, whole);
        QFETCH(bool, stranger);
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        // The password write is held at the controller while the queue is emptied behind it.
        controller->misbehave({Fault::Delay, 1, 300, 16, 0});
        if (stranger)
            controller->replaceAtFault(heldBus(pex, 2, 4242));
        configurator->setReconfigurationDelay(10);
        configurator->monitoring(!whole);
        if (whole)
            configurator->write();
        else
            editModule(2);
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() >= 1, WaitMs);
        communication->monitoringMode(false);
        configurator->monitoring(false);
        if (stranger) {
            // The clear reads who answers first: the other controller is sent nothing, and both
            // may hold the password.
            QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, WaitMs);
            QCOMPARE(Traffic::of(controller->writes()).control,
                     (Traffic::Words{{Traffic::PasswordRegister, {23517}}}));
            QCOMPARE(pool->owedClearCount(), 2);
            QCOMPARE(written.count(), 1);
            return;
        }

        QTRY_COMPARE_WITH_TIMEOUT(Traffic::of(controller->writes()).control,
                                  (Traffic::Words{{Traffic::PasswordRegister, {23517}},
                                                  {Traffic::PasswordRegister, {0}}}),
                                  WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        QCOMPARE(written.count(), whole ? 1 : 0);
        QVERIFY(written.isEmpty() || !written[0][0].toBool());
        QVERIFY(configurator->system());
        // The end of monitoring sends the edit again once the line is free, ahead of the stop.
        QTRY_VERIFY_WITH_TIMEOUT(!configurator->hasUnwrittenEdits(), WaitMs);
        QVERIFY(whole || controller->sysEntry("command") == QByteArray("\x66\0", 2));
    }

    // A channel dropped with the password set: the clear is the first thing written to that
    // controller once it is found again.
    void droppedUnderThePasswordIsClearedWhenFound()
    {
        detectAndRead();
        controller->misbehave({Fault::Delay, 1, 300, 16, 1});
        configurator->write();
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() >= 2, WaitMs);
        communication->dropChannel(communication->activeChannel());
        QCOMPARE(pool->owedClearCount(), 1);
        QVERIFY(controller->waitForServed(2));
        QCOMPARE(Traffic::of(controller->writes()).control.size(), 1);
        controller->clearLog();

        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->owedClearCount(), 0, WaitMs);
        const Traffic t = Traffic::of(controller->writes());
        // Two answered in a row: a late answer from before the drop may stand for one.
        QCOMPARE(t.control, (Traffic::Words{{Traffic::PasswordRegister, {0}},
                                            {Traffic::PasswordRegister, {0}}}));
        QVERIFY(t.area.isEmpty());
        QCOMPARE(pool->systems().size(), 1);
        QVERIFY(pool->isKeepAliveEnabled());
    }

    // The clear is tried three times; a write whose clear never went through failed. After a
    // lost try, an echo that was not the controller's answer to the next one does not count.
    void clearIsRetried_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("staleEcho");
        QTest::newRow("one lost") << 1 << false;
        QTest::newRow("all lost") << 3 << false;
        QTest::newRow("one unanswered, then a stale echo") << 1 << true;
    }

    void clearIsRetried()
    {
        QFETCH(int, failures);
        QFETCH(bool, staleEcho);
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        const int clear = writesBeforeCommand(composed(*model)) + 1;
        controller->misbehave({staleEcho ? Fault::NoReply : Fault::Exception, failures, 0, 16, clear});
        configurator->write();
        if (staleEcho) {
            QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), clear + 1, WaitMs);
            controller->misbehave({Fault::StaleEcho, 1, 0, 16, 0});
        }
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 2 * WaitMs);
        QCOMPARE(written[0][0].toBool(), failures < 3);
        QCOMPARE(controller->sysEntry("password"), failures < 3 ? QByteArray(2, '\0')
                                                                : QByteArray("\xdd\x5b", 2));
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
    }

    // The port goes as the controller is sent a chunk of the configuration or the command word,
    // in a write or in a rewrite while monitoring: the password it took is cleared first thing
    // when it is plugged in again and found.
    void portGoneMidSequenceIsClearedWhenFoundAgain_data()
    {
        QTest::addColumn<bool>("rewrite");
        QTest::addColumn<int>("stage");
        QTest::newRow("write, at an image chunk") << false << int(Chunk);
        QTest::newRow("write, at the command word") << false << int(Command);
        QTest::newRow("rewrite, at its block") << true << int(Chunk);
        QTest::newRow("rewrite, at the command word") << true << int(Command);
    }

    void portGoneMidSequenceIsClearedWhenFoundAgain()
    {
        QFETCH(bool, rewrite);
        QFETCH(int, stage);
        detectAndRead();
        QSignalSpy removed(pool, &DevicePool::activeRemoved);
        controller->misbehave({Fault::Vanish, 1, 0, 16, startSequence(rewrite, Stage(stage))});
        runSequence(rewrite);
        // The keep-alive finds the controller gone once the sequence let go of it.
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));

        controller->clearLog();
        QVERIFY(controller->reappear());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"), QByteArray(2, '\0'), WaitMs);
        const Traffic t = Traffic::of(controller->writes());
        QCOMPARE(t.control.value(0), (Traffic::Words::value_type{Traffic::PasswordRegister, {0}}));
        QVERIFY(t.area.isEmpty());
        QCOMPARE(pool->systems().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(pool->owedClearCount(), 0, WaitMs);
    }

    // All three frames of the clear are lost while the controller goes on answering: the clear
    // is tried again on the same channel, which stays. Another controller answering there
    // meanwhile (same type, another serial number, behind the same cable) is not sent the clear
    // its predecessor owes; the owner, back, is.
    void clearLostWhileTheLinkWorksIsPaidOnTheSameChannel_data()
    {
        QTest::addColumn<bool>("rewrite");
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("stranger");
        // The payment's first try is lost as a late echo from before arrives in its place.
        QTest::addColumn<bool>("staleEcho");
        QTest::newRow("write, clear unanswered") << false << int(Fault::NoReply) << false << false;
        QTest::newRow("write, clear refused") << false << int(Fault::Exception) << false << false;
        QTest::newRow("rewrite while monitoring, clear unanswered")
            << true << int(Fault::NoReply) << false << false;
        QTest::newRow("write, clear refused, then another controller answers")
            << false << int(Fault::Exception) << true << false;
        QTest::newRow("write, clear unanswered, the payment's first try taken by a late echo")
            << false << int(Fault::NoReply) << false << true;
    }

    void clearLostWhileTheLinkWorksIsPaidOnTheSameChannel()
    {
        QFETCH(bool, rewrite);
        QFETCH(int, fault);
        QFETCH(bool, stranger);
        QFETCH(bool, staleEcho);
        // No check in between: only the owed clear meets the other controller.
        if (stranger)
            communication->setKeepAliveInterval(600000);
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        controller->misbehave({Fault(fault), ControlRequest::ClearTries, 0, 16,
                               startSequence(rewrite, Clear)});
        runSequence(rewrite);
        QTRY_COMPARE_WITH_TIMEOUT(passwordClears(), ControlRequest::ClearTries, 2 * WaitMs);
        if (staleEcho)
            controller->misbehave({Fault::StaleEcho, 1, 0, 16, 0});
        if (stranger) {
            const int served = controller->servedCount();
            QVERIFY(controller->setBus(heldBus(pex, 2, 4242)));
            // The owed clear looks before it writes, and looks again later, writing nothing
            // while the other controller answers.
            QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, 2 * WaitMs);
            QCOMPARE(controller->served().at(served).function, 4);
            QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() >= served + 3, 2 * WaitMs);
            for (const auto& request : controller->served().mid(served))
                QCOMPARE(request.function, 4);
            QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));
            QCOMPARE(pool->owedClearCount(), 1);
            QVERIFY(controller->setBus(heldBus(pex, 2)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"), QByteArray(2, '\0'),
                                  2 * WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(pool->owedClearCount(), 0, WaitMs);
        // The pool's payment counts two answered in a row, a late echo for one of them at most.
        QCOMPARE(passwordClears(), ControlRequest::ClearTries + 2);
        QCOMPARE(written.count(), rewrite ? 0 : 1);
        QVERIFY(written.isEmpty() || !written[0][0].toBool());
        QCOMPARE(lost.count(), 0);
        QVERIFY(configurator->system());
    }

    // A controller that did not take the password is sent neither configuration nor command;
    // only the clear follows, in case an unanswered password arrived all the same, and only
    // once a late answer to the password can no longer be taken for the clear's. Silence at the
    // identity read before the password withholds the clear too: no password word went out.
    void refusedPasswordStopsTheSequence_data()
    {
        QTest::addColumn<bool>("rewrite");
        QTest::addColumn<int>("fault");
        // -1: the fault meets every try of the identity read before the password instead.
        QTest::addColumn<int>("delayMs");
        // The clear's first frame is lost as the password's late echo arrives in its place.
        QTest::addColumn<bool>("staleEcho");
        QTest::newRow("write, password refused") << false << int(Fault::Exception) << 0 << false;
        QTest::newRow("write, password unanswered") << false << int(Fault::NoReply) << 0 << false;
        QTest::newRow("rewrite, password refused") << true << int(Fault::Exception) << 0 << false;
        QTest::newRow("write, password answered late")
            << false << int(Fault::Busy) << 2500 << false;
        QTest::newRow("write, password answered late as the clear is lost")
            << false << int(Fault::Busy) << 1500 << true;
        QTest::newRow("write, the line silent at the identity read before the password")
            << false << int(Fault::NoReply) << -1 << false;
    }

    void refusedPasswordStopsTheSequence()
    {
        QFETCH(bool, rewrite);
        QFETCH(int, fault);
        QFETCH(int, delayMs);
        QFETCH(bool, staleEcho);
        const bool identity = delayMs < 0;
        // No check in between: only the sequence's identity read meets the fault.
        if (identity)
            communication->setKeepAliveInterval(600000);
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        if (identity)
            controller->misbehave({Fault(fault), ModbusDevice::InputRegisterTries, 0, 4});
        else
            controller->misbehave({Fault(fault), 1, delayMs, 16, startSequence(rewrite, Password)});
        runSequence(rewrite);
        Traffic::Words words{{Traffic::PasswordRegister, {23517}},
                             {Traffic::PasswordRegister, {0}},
                             {Traffic::PasswordRegister, {0}}};
        // No password word went out, so nothing is set that a clear would clear.
        if (identity) {
            words.clear();
            QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 4 * WaitMs);
        }
        if (staleEcho) {
            QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 1, WaitMs);
            // Taken for one of the two clears answered in a row, never for both.
            controller->misbehave({Fault::StaleEcho, 1, 0, 16, 0});
        }
        QTRY_COMPARE_WITH_TIMEOUT(Traffic::of(controller->writes()).control, words, 4 * WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
        QCOMPARE(pool->owedClearCount(), 0);
        QVERIFY(Traffic::of(controller->writes()).area.isEmpty());
        QCOMPARE(written.count(), rewrite ? 0 : 1);
        QVERIFY(written.isEmpty() || !written[0][0].toBool());
        QCOMPARE(configurator->hasUnwrittenEdits(), rewrite);
    }

    // Another controller behind the adapter (same type, another serial number) is sent nothing
    // under the password: not when it is there before a write or rewrite begins, nor when it
    // comes as a frame of the clear is lost. The channel goes; whichever controller may hold the
    // password owes the clear.
    void anotherControllerIsSentNothing_data()
    {
        QTest::addColumn<bool>("rewrite");
        // Stage at which the other controller comes: Password, before the sequence; Clear, as
        // the clear's first frame is lost.
        QTest::addColumn<int>("stage");
        QTest::newRow("write, another controller before it") << false << int(Password);
        QTest::newRow("rewrite, another controller before the edit") << true << int(Password);
        QTest::newRow("write, clear lost, then another controller") << false << int(Clear);
        QTest::newRow("rewrite, clear lost, then another controller") << true << int(Clear);
        // The controller gone answers the identity read before the password late, in the place
        // of its next try, which the other one does not answer: Chunk stands for that.
        QTest::newRow("write, identity read answered late by the controller gone")
            << false << int(Chunk);
        QTest::newRow("rewrite, identity read answered late by the controller gone")
            << true << int(Chunk);
    }

    void anotherControllerIsSentNothing()
    {
        QFETCH(bool, rewrite);
        QFETCH(int, stage);
        // No check in between: only the sequence meets the other controller.
        communication->setKeepAliveInterval(600000);
        detectAndRead();
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        QSignalSpy notWritten(configurator, &DeviceConfigurator::editsNotWritten);
        const int writes = stage == Clear ? startSequence(rewrite, Clear) + 1 : 0;
        if (stage == Clear) {
            controller->misbehave({Fault::NoReply, 1, 0, 16, writes - 1});
            controller->replaceAtFault(heldBus(pex, 2, 4242));
        } else if (stage == Chunk) {
            ProtoEntry cpu;
            QVERIFY(SettingsProvider::instance().sysEntry("korcpu", &cpu));
            // Later than the read's time-out and the quiet the link waits for before its next
            // try; the block's records follow its two-register header.
            const int lateMs =
                Request::DefaultTimeoutUs / 1000 * (1 + ModbusDevice::LateAnswerTimeouts) + 500;
            controller->misbehave({Fault::Busy, 1, lateMs, 4, 0, int(cpu.offset) + 2});
            controller->replaceAtFault(heldBus(pex, 2, 4242));
        } else {
            QVERIFY(controller->setBus(heldBus(pex, 2, 4242)));
        }
        runSequence(rewrite);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3 * WaitMs);
        QCOMPARE(controller->writes().size(), writes);
        QCOMPARE(controller->sysEntry("password"),
                 stage == Clear ? QByteArray("\xdd\x5b", 2) : QByteArray(2, '\0'));
        QList<quint32> owing;
        for (const ControllerIdentity& c : pool->owedClears())
            owing << c.first;
        QCOMPARE(owing, stage == Clear ? (QList<quint32>{4242, 31337}) : QList<quint32>());
        QCOMPARE(written.count(), rewrite ? 0 : 1);
        QVERIFY(written.isEmpty() || !written[0][0].toBool());
        // A rewrite that wrote nothing says so: the channel goes, and no later rewrite comes.
        QCOMPARE(notWritten.count(), rewrite && stage != Clear ? 1 : 0);
    }

    // A controller that refused command 101 does not restart: its channel stays.
    void refusedRestartKeepsTheChannel()
    {
        detectAndRead();
        model->removeDevice(model->deviceHandles().last().id);
        QSignalSpy written(configurator, &DeviceConfigurator::written);
        QSignalSpy lost(communication, &Communication::channelWasLost);
        controller->misbehave({Fault::Exception, 1, 0, 16, writesBeforeCommand(composed(*model))});
        configurator->write();
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, WaitMs);
        QVERIFY(!written[0][0].toBool());
        QTRY_VERIFY_WITH_TIMEOUT(pool->isKeepAliveEnabled(), WaitMs);
        QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
        QCOMPARE(lost.count(), 0);
        QVERIFY(configurator->system());
    }
};

QTEST_GUILESS_MAIN(DeviceConfiguratorLiveTest)
#include "tst_deviceconfigurator_live.moc"
