// The main window's wiring of the device side, end to end against a simulated controller on a
// pseudo-terminal that the window's own port scan finds through TAVCFG_EXTRA_PORTS: the user's
// whole online session through the Device menu (detect, read, edit and write, monitor and control,
// the cable pulled), monitoring stops with its handshake even with a read on the wire, the answers
// of writes and reads, ports held or coming and going under the selection, the switching of an
// output, and keep-alive holds of the configurator and the monitoring loop both reach the pool.
// The end of monitoring has a program of its own, which runs beside this one.
#include "alarms/alrmsmanager.h"
#include "livewindowfixture.h"

#include <QRadioButton>

#include <fcntl.h>
#include <sys/ioctl.h>

namespace {

// Where a write or a rewrite goes wrong on the line. Replaced: its first chunk unanswered, and
// another controller answers from then on; ClearFrameLost: the same at its clear's first frame;
// AnotherBefore: another controller answers before its password goes out; PasswordLate: its
// password answered late, the echo arriving as its clear's first frame is lost; IdentityLate: the
// controller gone answers the identity read before the password late, in the place of its next
// try, which another controller there does not answer; Silent: the line silent from its first
// chunk on for longer than the write lasts; LongSilent: the same for longer than a check takes to
// drop the channel and the port's first look again takes to find nobody there; Noisy: the line
// losing frames at random from its start until the write is answered.
enum Cut {
    NoCut,
    ClearLost,
    LastChunkRefused,
    Replaced,
    ClearFrameLost,
    AnotherBefore,
    PasswordLate,
    IdentityLate,
    Silent,
    LongSilent,
    Noisy
};

} // namespace

class TavConfiguratorLiveTest : public QObject, LiveWindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { LiveWindowFixture::initTestCase(); }
    void init() { LiveWindowFixture::init(); }
    void cleanup() { LiveWindowFixture::cleanup(); }

    // The user's online session as the Device menu and the pages carry it: the controller plugged
    // in is found and shown in the badge, read into both pages, edited and written back, monitored
    // and controlled, and pulled out again; plugged in anew it is found again.
    void onlineSessionThroughTheDeviceMenu()
    {
        ScriptedPrompts prompts;
        SystemModel held;
        QVERIFY(holdSystem(*controller, held, twoBoardModule(), 1));
        window->show();
        const QList<QAction*> device = deviceActions();
        QVERIFY(!device.contains(nullptr));
        QAction* start = device[0];
        QAction* stop = device[1];
        QAction* read = device[2];
        QAction* write = device[3];
        for (QAction* action : device)
            QVERIFY(!action->isEnabled());

        // Plugged in: the device-change notice scans, and the first system found is selected.
        window->communication()->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        window->communication()->setKeepAliveInterval(150);
        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        window->portScans()->devicesChanged();
        QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled(), WaitMs);
        QCOMPARE(badge()->serialText(), QString("SN - 0031337"));
        QVERIFY(start->isEnabled() && !stop->isEnabled());

        // Read: both pages show the controller's system.
        QSignalSpy loaded(window->deviceConfigurator(), &DeviceConfigurator::loaded);
        read->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WaitMs);
        QVERIFY(loaded[0][0].toBool());
        QVERIFY(prompts.questions.isEmpty());
        QCOMPARE(composed(window->model()), composed(held));
        const QList<DeviceHandle> handles = window->model().deviceHandles();
        QCOMPARE(handles.size(), 2);
        const auto& systemRows = window->systemPage()->treeModel()->rowOfDevice();
        for (const DeviceHandle& h : handles)
            QCOMPARE(systemRows.value(h.id).data(SystemConfiguration::TypeRole).toUInt(), h.type);
        QMap<int, int> treeRows;
        for (const QModelIndex& i : ResourceTree::allIndexes(window->resourcesPage()->model()))
            ++treeRows[i.data(ResourceTree::ItemTypeRole).toInt()];
        QCOMPARE(treeRows.value(ResourceTree::DeviceItem), handles.size());
        QCOMPARE(treeRows.value(ResourceTree::ResourceItem), window->model().resources().size());
        QVERIFY(write->isEnabled());

        // The safe state of an output changed in its editor, then written.
        QSharedPointer<Dout> dout = firstDout();
        QVERIFY(dout);
        AbstractConfig config;
        dout->exportConfig(config);
        const bool closed = config.dout.save == 0;
        Editor* editor = selectResource(dout->id());
        QVERIFY(editor);
        editor->findChild<QRadioButton*>(closed ? "radioButtonClose" : "radioButtonOpen")->click();
        dout->exportConfig(config);
        QCOMPARE(config.dout.save, qint16(closed ? 1 : 0));
        const QByteArray edited = composed(window->model());
        QVERIFY(edited != composed(held));
        QSignalSpy written(window->deviceConfigurator(), &DeviceConfigurator::written);
        write->trigger();
        QVERIFY(window->deviceOperation()->writeProgress().dialog());
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, WaitMs);
        QVERIFY(written[0][0].toBool());
        QCOMPARE(heldImage(edited), edited);
        QCOMPARE(prompts.messages.value(0), QString("Конфигурация\nуспешно записана в контроллер"));
        QVERIFY(!window->deviceOperation()->writeProgress().dialog());
        QTRY_VERIFY_WITH_TIMEOUT(write->isEnabled(), WaitMs);

        // Monitoring: the edit is given up for the controller's configuration, the resource tree
        // shows the output the controller reports on, and the user switches it off in its editor.
        prompts.answers.enqueue(DiscardChanges);
        start->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window->controlAndMonitoring()->isMonitoring(), WaitMs);
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(stop->isEnabled() && !start->isEnabled() && !read->isEnabled()
                && !write->isEnabled());
        QCOMPARE(window->pageStack()->currentWidget(),
                 window->page(TavConfigurator::ResourcesPage));
        dout = firstDout();
        // One coil carries the output's state and the configurator's override.
        const ProtoEntry coil = dout->role(ValueRole::DoutOverride);
        controller->setEntryBytes(coil, QByteArray(1, 1));
        QTRY_COMPARE_WITH_TIMEOUT(liveValue(dout->id()), QString("1"), WaitMs);
        editor = selectResource(dout->id());
        QVERIFY(editor);
        editor->findChild<Switch*>("onoffSwitch")->setCurrentIndex(1, true);
        QTRY_COMPARE_WITH_TIMEOUT(controller->entryBytes(coil), QByteArray(1, 0), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(liveValue(dout->id()), QString("0"), WaitMs);

        // The cable pulled: back offline, nothing left monitoring, every device action off.
        QSignalSpy mode(window->deviceOperation(), &DeviceOperation::monitoringMode);
        controller->vanish();
        QTRY_COMPARE_WITH_TIMEOUT(mode.count(), 1, WaitMs);
        QVERIFY(!mode[0][0].toBool());
        QVERIFY(!window->devicePool()->activeSystem());
        QVERIFY(!window->controlAndMonitoring()->isMonitoring());
        for (QAction* action : device)
            QVERIFY(!action->isEnabled());
        QVERIFY(window->deviceOperation()->action(DeviceOperation::StartToolBar)->isVisible());
        QVERIFY(!window->deviceOperation()->monitorAction()->isVisible());
        QVERIFY(badge()->serialText().isEmpty());
        QVERIFY(window->tabs().tabBar()->isTabEnabled(1));

        // Plugged in again: found and selected as the first time.
        delete controller;
        controller = new SimulatedController;
        SystemModel again;
        QVERIFY(holdSystem(*controller, again, twoBoardModule(), 1));
        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        window->portScans()->devicesChanged();
        QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled() && start->isEnabled(), WaitMs);
        QCOMPARE(badge()->serialText(), QString("SN - 0031337"));
    }

    void monitoringStopsWithItsHandshakeWhileAReadIsOnTheWire()
    {
        detectAndSelect();
        QSignalSpy deviceValues(&window->model(), &SystemModel::changedDeviceValues);
        window->onMonitoringMode(true);
        QTRY_VERIFY_WITH_TIMEOUT(deviceValues.count() >= 1, WaitMs);
        QVERIFY(!window->tabs().tabBar()->isTabEnabled(1));
        QCOMPARE(window->pageStack()->currentWidget(),
                 window->page(TavConfigurator::ResourcesPage));

        // The next monitoring read is held on the wire while monitoring is switched off.
        const int served = controller->servedCount();
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, WaitMs);
        controller->clearLog();
        window->onMonitoringMode(false);
        QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control,
                                  ConfigurationTraffic::handshake(104), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        QVERIFY(window->tabs().tabBar()->isTabEnabled(1));
    }

    // The clear that ends a monitoring handshake is lost while the controller answers: the user
    // is told as after a write, and the controller is locked on the same channel. The window
    // closed while a handshake is on the wire, its password taken, lets it end with its clear.
    // Monitoring that ends as another controller answers in the monitored one's place sends that
    // one no stop, nor the other one a value the user sets meanwhile: the user hears which
    // controller answers and what the first one is left with.
    void handshakeLeavesNoControllerUnlocked_data()
    {
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("close");
        // Monitoring asked for, its first read not yet answered.
        QTest::addColumn<bool>("reading");
        // The function-16 frames before one unanswered, after which another controller answers;
        // -1: none. 1 is the command, 2 the clear's first frame.
        QTest::addColumn<int>("replaced");
        // While monitoring runs from the Device menu, another controller answers this read:
        // "tick", "keep-alive", the identity read of an edit's "rewrite"; "tick, clear owed": the
        // start's clear was refused; "tick, edit pending": an edit waits for its rewrite; "tick,
        // value set": a tick's read lost as it comes, the output set at once; "start": the
        // start's clear, its command unanswered; "value set, no frame lost" and "acknowledge, no
        // frame lost": the identity read before the output set, or all alarms acknowledged,
        // between two ticks; "silent": nobody, the line silent until a check drops it; "start,
        // silent": the same after the start's command went unanswered.
        QTest::addColumn<QString>("foundBy");
        QTest::newRow("monitoring started, clear lost") << true << false << false << -1 << "";
        QTest::newRow("monitoring stopped, clear lost") << false << false << false << -1 << "";
        QTest::newRow("window closed while monitoring starts")
            << true << true << false << -1 << "";
        QTest::newRow("window closed while monitoring stops")
            << false << true << false << -1 << "";
        // The read answered after the close began starts no handshake.
        QTest::newRow("window closed while monitoring's first read is on the wire")
            << true << true << true << -1 << "";
        QTest::newRow("monitoring started, command unanswered, then another controller answers")
            << true << false << false << 1 << "";
        QTest::newRow("monitoring stopped, command unanswered, then another controller answers")
            << false << false << false << 1 << "";
        QTest::newRow("monitoring started, clear's first frame lost, then another controller answers")
            << true << false << false << 2 << "";
        QTest::newRow("monitoring stopped, clear's first frame lost, then another controller answers")
            << false << false << false << 2 << "";
        QTest::newRow("monitoring running, another controller answers a tick's read")
            << true << false << false << -1 << "tick";
        QTest::newRow("monitoring running, another controller answers the keep-alive's read")
            << true << false << false << -1 << "keep-alive";
        QTest::newRow("monitoring running, another controller answers before a rewrite")
            << true << false << false << -1 << "rewrite";
        QTest::newRow("monitoring running on a controller owing its clear, then another answers")
            << true << false << false << -1 << "tick, clear owed";
        QTest::newRow("monitoring running, an edit waits for its rewrite as another answers")
            << true << false << false << -1 << "tick, edit pending";
        QTest::newRow("monitoring running, another after a read lost in the move, a value set "
                      "at once")
            << true << false << false << -1 << "tick, value set";
        QTest::newRow("monitoring started from the menu, command unanswered, then another answers")
            << true << false << false << -1 << "start";
        QTest::newRow("monitoring running, another swapped in with no frame lost, a value set")
            << true << false << false << -1 << "value set, no frame lost";
        QTest::newRow("monitoring running, another swapped in with no frame lost, alarms acknowledged")
            << true << false << false << -1 << "acknowledge, no frame lost";
        QTest::newRow("monitoring running, the line silent, then answering")
            << true << false << false << -1 << "silent";
        // Told as soon as without the edit.
        QTest::newRow("monitoring running, an edit made as the line goes silent")
            << true << false << false << -1 << "edit pending, silent";
        QTest::newRow("monitoring started, command unanswered, then the line silent")
            << true << false << false << -1 << "start, silent";
    }

    void handshakeLeavesNoControllerUnlocked()
    {
        QFETCH(bool, start);
        QFETCH(bool, close);
        QFETCH(bool, reading);
        QFETCH(int, replaced);
        QFETCH(QString, foundBy);
        WatchingPrompts prompts;
        if (!foundBy.isEmpty()) {
            const bool owed = foundBy.endsWith("owed");
            if (owed)
                controller->misbehave({SimulatedController::Fault::Exception,
                                       SimulatedController::Forever, 0, 16, 2});
            const bool notTaken = foundBy.startsWith("start");
            if (notTaken)
                controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 16, 1});
            ProtoEntry coil;
            NodeId_t output;
            Switch* onOff = monitoredOutputSwitch(prompts, &coil, &output);
            QVERIFY(onOff);
            const QString told = "Отладка остановлена: вместо контроллера TAV-1020-10 SN - 0031337 "
                                 "отвечает контроллер TAV-1020-10 SN - 0004242.\n\n";
            const QString owing = "Сброс пароля контроллера TAV-1020-10 SN - 0031337 не подтверждён.\n"
                                  "Контроллер, возможно, остался разблокированным.\n"
                                  "Он будет заблокирован, когда будет найден снова.";
            // Named: the window shows whichever controller answers now.
            const QString stopNotSent =
                "Команда остановки отладки не отправлена: контроллер TAV-1020-10 SN - 0031337 "
                "остаётся в режиме отладки.\nЧтобы вывести его из этого режима, начните и снова "
                "остановите на нём отладку, когда он будет найден снова.";
            if (foundBy == "start") {
                replaceOnceAFrameIsUnanswered(heldBus(twoBoardModule(), 1));
                QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
                QCOMPARE(prompts.messages[0],
                         told + "Контроллер не принял команду начала отладки.\n\n"
                             + QString(owing).replace("0031337", "0004242") + "\n\n" + owing);
                return;
            }
            QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), owed || notTaken ? 1 : 0,
                                      2 * WaitMs);
            // The other reads come too late to find it.
            if (foundBy != "keep-alive" && !foundBy.endsWith("silent")) {
                window->communication()->setKeepAliveInterval(600000);
                window->communication()->activate(window->communication()->activeChannel());
            }
            if (!foundBy.startsWith("tick")) {
                window->controlAndMonitoring()->setTickInterval(600000);
                QTRY_COMPARE_WITH_TIMEOUT(window->controlAndMonitoring()->pending(), 0, WaitMs);
            }
            AlrmsManager* alarms = nullptr;
            if (foundBy.startsWith("acknowledge")) {
                ProtoEntry states;
                QVERIFY(SettingsProvider::instance().sysEntry("alarm-reg", &states));
                // Every alarm of every device active and latched: the latched words follow the
                // active ones.
                states.registers = 64;
                QVERIFY(controller->setEntryBytes(states, QByteArray(128, '\xff')));
                window->deviceOperation()->onShowAlarms();
                alarms = window->findChild<AlrmsManager*>();
                QVERIFY(alarms);
                QTRY_VERIFY_WITH_TIMEOUT(alarms->acknowledgeAllButton()->isEnabled(), WaitMs);
            }
            const bool pending = foundBy.contains("edit pending");
            if (foundBy.endsWith("silent")) {
                window->deviceConfigurator()->setReconfigurationDelay(10);
                if (pending)
                    flipSafeState(firstDout());
                controller->misbehave(
                    {SimulatedController::Fault::NoReply, SimulatedController::Forever, 0, 0});
                QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), notTaken ? 2 : 1, 6 * WaitMs);
                // A controller that never took the start is not said to stay in monitoring mode.
                const QString lost =
                    "Отладка остановлена: связь с контроллером TAV-1020-10 SN - 0031337 потеряна.";
                const QString unwritten = pending ? "\n\n" + notWrittenNotice(true) : "";
                const QStringList notices =
                    notTaken ? QStringList{"Контроллер не принял команду начала отладки.", lost}
                             : QStringList{lost + "\n\n" + stopNotSent + unwritten};
                QCOMPARE(prompts.messages, notices);
                // Found again by itself once it answers, and monitoring can start again.
                controller->clearFault();
                QTRY_VERIFY_WITH_TIMEOUT(deviceMenuAction("&Начать отладку")->isEnabled(), WaitMs);
                return;
            }
            window->deviceConfigurator()->setReconfigurationDelay(pending ? 600000 : 10);
            if (pending)
                flipSafeState(firstDout());
            // The user sets the output while the read lost as the cable moved waits for its answer.
            const bool set = foundBy.endsWith("value set");
            if (set) {
                controller->clearLog();
                controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 3});
                controller->replaceAtFault(heldBus(twoBoardModule(), 1, 4242));
                replaceOnceAFrameIsUnanswered(heldBus(twoBoardModule(), 1));
                onOff->setCurrentIndex(1, true);
            }
            controller->clearLog();
            QVERIFY(controller->setBus(heldBus(twoBoardModule(), 1, 4242)));
            if (foundBy == "rewrite")
                flipSafeState(firstDout());
            const bool unlost = foundBy.endsWith("no frame lost");
            if (alarms)
                alarms->acknowledgeAllButton()->click();
            else if (unlost)
                onOff->setCurrentIndex(1, true);
            QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), owed ? 2 : 1, 2 * WaitMs);
            QString stopped = told + stopNotSent;
            if (owed)
                stopped += "\n\n" + owing;
            if (foundBy == "rewrite" || pending)
                stopped += "\n\n" + notWrittenInPlaceOfAnother();
            if (set || (unlost && !alarms))
                stopped += "\n\nЗначения, заданные во время отладки, не записаны в контроллер.";
            QCOMPARE(prompts.messages.last(), stopped);
            QVERIFY(!(set || unlost) || controller->writes().isEmpty());
            return;
        }
        detectAndSelect();
        if (reading) {
            const ProtoEntry area = SettingsProvider::instance().iocfgBase();
            // The configuration read alone: a keep-alive read of the same function comes at any
            // time.
            controller->misbehave(
                {SimulatedController::Fault::Delay, 1, 300, int(area.rcmd), 0, int(area.offset)});
            QSignalSpy loaded(window->deviceConfigurator(), &DeviceConfigurator::loaded);
            window->show();
            prompts.answers << DiscardChanges << DiscardChanges;
            const int served = controller->servedCount();
            window->deviceOperation()->onMonitoring();
            const auto delayed = [this, served] {
                const QList<SimulatedController::Served> log = controller->served().mid(served);
                return std::any_of(log.cbegin(), log.cend(), [](const auto& s) {
                    return s.fault == SimulatedController::Fault::Delay;
                });
            };
            QTRY_VERIFY_WITH_TIMEOUT(delayed(), WaitMs);
            QVERIFY(closeByItsButton(0));
            QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WaitMs);
            // Up to a clear sent after the read's answer, the controller hears no control word
            // but clears.
            ConfigurationTraffic::Words control;
            QVERIFY(controlUpToAClearSentNow(&control));
            for (const auto& word : control)
                QCOMPARE(word, (ConfigurationTraffic::Words::value_type{
                                   ConfigurationTraffic::PasswordRegister, {0}}));
            return;
        }
        if (!start) {
            window->onMonitoringMode(true);
            QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control,
                                      ConfigurationTraffic::handshake(103), WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        }
        if (close) {
            // The command frame, which follows the password, is answered late.
            controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 16, 1});
            window->onMonitoringMode(start);
            QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"),
                                      QByteArray("\xdd\x5b", 2), WaitMs);
            prompts.answers.enqueue(DiscardChanges);
            QVERIFY(window->close());
            QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
            QVERIFY(prompts.messages.isEmpty());
            QVERIFY(keptClears().isEmpty());
            return;
        }
        const QString unlocked = "Сброс пароля контроллера TAV-1020-10 SN - 0001001 не подтверждён.\n"
                                 "Контроллер, возможно, остался разблокированным.\n";
        if (replaced >= 0) {
            controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 16, replaced});
            window->onMonitoringMode(start);
            replaceOnceAFrameIsUnanswered(MonitoredSystem::bus());
            QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
            // The password may have reached the other controller as well.
            const QString away = "Он будет заблокирован, когда будет найден снова.";
            const QString owing = unlocked + away + "\n\n"
                                  + QString(unlocked).replace("0001001", "0004242") + away;
            const QString command = start ? "Контроллер не принял команду начала отладки."
                                          : "Контроллер не подтвердил команду остановки отладки.";
            QCOMPARE(prompts.messages[0], replaced == 1 ? command + "\n\n" + owing : owing);
            QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));
            return;
        }
        // The password and the command are taken; every frame of the clear is refused.
        controller->misbehave({SimulatedController::Fault::Exception, ControlRequest::ClearTries,
                               0, 16, 2});
        window->onMonitoringMode(start);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
        QCOMPARE(prompts.messages[0],
                 unlocked + "Программа повторит сброс пароля, когда контроллер ответит на том же "
                            "порту или на вновь подключённом, либо при следующем запуске "
                            "программы.");
        QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"), QByteArray(2, '\0'),
                                  2 * WaitMs);
        window->onMonitoringMode(false);
    }

    // The pool's loss of the selected system reaches the configurator: a read pending when the
    // cable is pulled answers instead of waiting for ever.
    void readPendingWhenTheControllerVanishesAnswers()
    {
        detectAndSelect();
        DeviceConfigurator* configurator = window->deviceConfigurator();
        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        QSignalSpy removed(window->devicePool(), &DevicePool::activeRemoved);
        // A vanished USB port may be told to the user: answered here, never a modal box.
        ScriptedPrompts prompts;
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 0, 0});
        const int served = controller->servedCount();
        configurator->read();
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, WaitMs);
        controller->vanish();
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WaitMs);
        QVERIFY(!loaded[0][0].toBool());
    }

    // Every answer of a write comes up with the progress dialog gone. A write or a rewrite while
    // monitoring whose password clear was lost says that the controller may still be unlocked
    // and, as it still answers, that the clear is tried again at once; a rewrite cut before its
    // last chunk says that the controller's configuration may be incomplete.
    void answersOfAWrite_data()
    {
        QTest::addColumn<bool>("rewrite");
        QTest::addColumn<int>("cut");
        QTest::addColumn<QString>("answer");
        // A second rewrite in the same window, and its notice alone.
        QTest::addColumn<int>("thenCut");
        QTest::addColumn<QString>("thenAnswer");
        const QString retried = "Программа повторит сброс пароля, когда контроллер ответит на том "
                                "же порту или на вновь подключённом, либо при следующем запуске "
                                "программы.";
        const QString unlocked = "Контроллер, возможно, остался разблокированным.\n" + retried;
        const QString clearLost =
            "Сброс пароля контроллера TAV-1020-10 SN - 0031337 не подтверждён.\n" + unlocked;
        const QString cutShort = "Конфигурация в контроллере, возможно, записана не полностью.\n"
                                 "Запись всей конфигурации в контроллер (Устройство > Записать "
                                 "конфигурацию) исправит это.";
        QTest::newRow("written") << false << int(NoCut)
                                 << "Конфигурация\nуспешно записана в контроллер" << -1
                                 << QString();
        QTest::newRow("write, clear lost")
            << false << int(ClearLost)
            << "Не могу записать конфигурацию\nв контроллер\n\n" + unlocked << -1 << QString();
        QTest::newRow("rewrite while monitoring, clear lost")
            << true << int(ClearLost) << clearLost << -1 << QString();
        QTest::newRow("rewrite while monitoring, cut before its last chunk")
            << true << int(LastChunkRefused) << cutShort << -1 << QString();
        QTest::newRow("rewrite, clear lost, then another cut")
            << true << int(ClearLost) << clearLost << int(LastChunkRefused) << cutShort;
        QTest::newRow("rewrite cut, then another with its clear lost")
            << true << int(LastChunkRefused) << cutShort << int(ClearLost) << clearLost;
        // The controller that took the password is not there to be locked.
        const QString away =
            QString(unlocked).replace(retried, "Он будет заблокирован, когда будет найден снова.");
        // The password may have reached the other controller as well.
        const QString other = "Сброс пароля контроллера TAV-1020-10 SN - 0004242 не подтверждён.\n" + away;
        const QString both = other + "\n\nСброс пароля контроллера TAV-1020-10 SN - 0031337 не подтверждён.\n"
                             + away;
        const QString notWritten = "Не могу записать конфигурацию\nв контроллер";
        QTest::newRow("write, a chunk unanswered, then another controller answers")
            << false << int(Replaced) << notWritten + "\n\n" + away + "\n\n" + other << -1
            << QString();
        QTest::newRow("rewrite, its block unanswered, then another controller answers")
            << true << int(Replaced) << both + "\n\n" + cutShort + "\n\n" + notWrittenNotice(false)
            << -1 << QString();
        QTest::newRow("write, its clear's first frame lost, then another controller answers")
            << false << int(ClearFrameLost) << notWritten + "\n\n" + away + "\n\n" + other << -1
            << QString();
        QTest::newRow("rewrite, its clear's first frame lost, then another controller answers")
            << true << int(ClearFrameLost) << both << -1 << QString();
        QTest::newRow("write, another controller answers before it")
            << false << int(AnotherBefore) << notWritten << -1 << QString();
        QTest::newRow("rewrite, another controller answers before it")
            << true << int(AnotherBefore)
            << notWrittenNotice(false) << -1 << QString();
        QTest::newRow("write, its password answered late as its clear's first frame is lost")
            << false << int(PasswordLate) << notWritten << -1 << QString();
        QTest::newRow("write, its identity read answered late by the controller gone")
            << false << int(IdentityLate) << notWritten << -1 << QString();
        // Nobody answers the identity reads: the clear waits for the controller, on the same
        // channel or, once a check dropped it, on the port looked at again.
        QTest::newRow("write, the line silent 15 s from its image, then answering")
            << false << int(Silent) << notWritten + "\n\n" + unlocked << -1 << QString();
        QTest::newRow("write, the line silent 50 s from its image, then answering")
            << false << int(LongSilent) << notWritten + "\n\n" + unlocked << -1 << QString();
        QTest::newRow("write on a line losing 30% of its frames") << false << int(Noisy) << QString()
                                                                 << -1 << QString();
    }

    void answersOfAWrite()
    {
        QFETCH(bool, rewrite);
        QFETCH(int, cut);
        QFETCH(QString, answer);
        QFETCH(int, thenCut);
        QFETCH(QString, thenAnswer);
        WatchingPrompts prompts;
        readHeldSystem();

        // The clear follows the password, the configuration's chunks and the command word.
        QByteArray written = composed(window->model());
        const QSharedPointer<Dout> dout = firstDout();
        QVERIFY(dout);
        if (rewrite) {
            window->deviceConfigurator()->setReconfigurationDelay(10);
            window->deviceConfigurator()->monitoring(true);
            const Device::Ptr_t owner = window->model().device(dout->owner());
            QVERIFY(owner && FlatConfiguration(&window->model()).deviceBlock(owner, written));
        }
        const int chunks = chunksOf(written);
        const auto planCut = [this, chunks](int where) {
            if (where == ClearLost)
                controller->misbehave({SimulatedController::Fault::Exception,
                                       ControlRequest::ClearTries, 0, 16, chunks + 2});
            if (where == LastChunkRefused)
                controller->misbehave({SimulatedController::Fault::Exception, 1, 0, 16, chunks});
            if (where == Replaced)
                controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 16, 1});
            if (where == ClearFrameLost) {
                controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 16, chunks + 2});
                controller->replaceAtFault(heldBus(twoBoardModule(), 1, 4242));
            }
            if (where == AnotherBefore) {
                // No check in between: only the write meets the other controller.
                window->communication()->setKeepAliveInterval(600000);
                controller->setBus(heldBus(twoBoardModule(), 1, 4242));
            }
            if (where == PasswordLate)
                controller->misbehave({SimulatedController::Fault::Busy, 1, 1500, 16, 0});
            if (where == IdentityLate) {
                // No check's read of the CPU block is on its way to meet the fault first.
                window->communication()->setKeepAliveInterval(600000);
                window->communication()->activate(window->communication()->activeChannel());
                QTRY_VERIFY_WITH_TIMEOUT(!window->devicePool()->isCheckPending(
                                             window->devicePool()->activeSystem()->id()),
                                         WaitMs);
                ProtoEntry cpu;
                QVERIFY(SettingsProvider::instance().sysEntry("korcpu", &cpu));
                // Later than the read's time-out and the quiet the link waits for before its
                // next try, at the block's records after its two-register header.
                const int lateMs =
                    Request::DefaultTimeoutUs / 1000 * (1 + ModbusDevice::LateAnswerTimeouts) + 500;
                controller->misbehave({SimulatedController::Fault::Busy, 1, lateMs, 4, 0,
                                       int(cpu.offset) + 2});
                controller->replaceAtFault(heldBus(twoBoardModule(), 1, 4242));
            }
            if (where == Silent || where == LongSilent)
                controller->misbehave({SimulatedController::Fault::Busy, 1,
                                       where == Silent ? 15000 : 50000, 16, 1});
            if (where == Noisy)
                controller->misbehave({SimulatedController::Fault::NoReply,
                                       SimulatedController::Forever, 0, 0, 0, -1, 0, 30, 1});
        };
        window->deviceConfigurator()->setImageWriteTimeout(500000);
        planCut(cut);
        window->show();
        if (rewrite) {
            flipSafeState(dout);
        } else {
            deviceMenuAction("&Записать конфигурацию")->trigger();
            QVERIFY(window->deviceOperation()->writeProgress().dialog());
        }
        if (cut == Replaced)
            replaceOnceAFrameIsUnanswered(heldBus(twoBoardModule(), 1));
        if (cut == PasswordLate) {
            QTRY_VERIFY_WITH_TIMEOUT(!controller->writes().isEmpty(), WaitMs);
            controller->misbehave({SimulatedController::Fault::StaleEcho, 1, 0, 16, 0});
        }
        // A frame lost on its way costs a time-out and the quiet after it.
        const int answerMs = cut >= Silent ? 30000 : 2 * WaitMs;
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, answerMs);
        if (!answer.isEmpty())
            QCOMPARE(prompts.messages[0], answer);
        if (cut >= Silent) {
            // Locked once the line is clean again, by the controller found on its port.
            if (cut == Noisy)
                controller->clearFault();
            const int lockMs = cut == Silent ? 25000 : cut == LongSilent ? 60000 : 10000;
            QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"), QByteArray(2, '\0'), lockMs);
            QTRY_COMPARE_WITH_TIMEOUT(window->devicePool()->systems().size(), 1, WaitMs);
            return;
        }
        if (cut == Replaced || cut == ClearFrameLost)
            QCOMPARE(sorted(keptClears()), (QStringList{entryOf(31337), entryOf(4242)}));
        if (cut == AnotherBefore || cut == PasswordLate || cut == IdentityLate) {
            QVERIFY(keptClears().isEmpty());
            QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
        }
        QCOMPARE(prompts.progressShown, QList<bool>{false});
        if (thenCut < 0)
            return;
        // The first one's debt paid, so no clear of the pool's comes between the frames.
        QTRY_COMPARE_WITH_TIMEOUT(window->devicePool()->owedClearCount(), 0, 2 * WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!window->devicePool()->isPayingOwedClears()
                                     && !window->deviceConfigurator()->isWorking(),
                                 WaitMs);
        planCut(thenCut);
        flipSafeState(dout);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 2, 2 * WaitMs);
        QCOMPARE(prompts.messages[1], thenAnswer);
    }

    // A write given up as its port is lost: given up before its password went out (an earlier
    // request held the line) it left the controller locked and says nothing of a lock; given up
    // after, it says that the controller is locked when it is found again.
    void portLostDuringAWriteTellsOfALockOnlyAfterThePassword_data()
    {
        // The write's frame on the wire when the port goes; -1: an earlier request's.
        QTest::addColumn<int>("frame");
        QTest::addColumn<QString>("answer");
        const QString unlocked = "Не могу записать конфигурацию\nв контроллер\n\n"
                                 "Контроллер, возможно, остался разблокированным.\n"
                                 "Он будет заблокирован, когда будет найден снова.";
        QTest::newRow("before its password")
            << -1 << "Не могу записать конфигурацию\nв контроллер";
        // No answer tells whether the controller took it.
        QTest::newRow("while its password frame awaits its answer") << 0 << unlocked;
        QTest::newRow("at its first image frame") << 1 << unlocked;
    }

    void portLostDuringAWriteTellsOfALockOnlyAfterThePassword()
    {
        QFETCH(int, frame);
        QFETCH(QString, answer);
        ScriptedPrompts prompts;
        readHeldSystem();
        window->show();
        const int served = controller->servedCount();
        if (frame >= 0) {
            controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 16, frame});
            deviceMenuAction("&Записать конфигурацию")->trigger();
            QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), frame + 1, WaitMs);
        } else {
            // Unanswered, it holds the line for the program's whole response time-out, not only
            // for as long as a late answer would take: a busy machine's pause between the write
            // and the drop then still falls inside it.
            controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 0, 0});
            QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, WaitMs);
            deviceMenuAction("&Записать конфигурацию")->trigger();
        }
        QVERIFY(window->deviceOperation()->isWriting());
        window->communication()->dropChannel(window->communication()->activeChannel());
        QTRY_VERIFY_WITH_TIMEOUT(!window->deviceOperation()->isWriting(), WaitMs);
        QCOMPARE(prompts.messages, QStringList{answer});
        QCOMPARE(ConfigurationTraffic::of(controller->writes()).control.size(), frame >= 0 ? 1 : 0);
        if (frame >= 0) {
            QCOMPARE(window->devicePool()->owedClearCount(), 1);
            QCOMPARE(keptClears().size(), 1);
        }
    }

    // A read whose image cannot be parsed names the configuration in the controller as the
    // cause and the whole write as the remedy; a read that fails on the line does not. A
    // monitoring start whose read fails began no monitoring: it is told as a read, whatever an
    // earlier monitoring left, and sends no stop.
    void answersOfARead_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("start");
        QTest::addColumn<QString>("answer");
        QTest::newRow("image damaged")
            << true << false
            << "Ошибка загрузки конфигурации\nиз контроллера\n\n"
               "Конфигурация в контроллере неполна или повреждена.\n"
               "Запись всей конфигурации в контроллер (Устройство > Записать конфигурацию) "
               "исправит это.";
        QTest::newRow("configuration area unanswered")
            << false << false << "Ошибка загрузки конфигурации\nиз контроллера";
        QTest::newRow("a start after a monitoring that ended well, File > New, the line dead")
            << false << true << "Ошибка загрузки конфигурации\nиз контроллера";
    }

    void answersOfARead()
    {
        QFETCH(bool, damaged);
        QFETCH(bool, start);
        QFETCH(QString, answer);
        ScriptedPrompts prompts;
        if (start) {
            ProtoEntry coil;
            NodeId_t output;
            QVERIFY(monitoredOutputSwitch(prompts, &coil, &output));
            QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
            deviceMenuAction("&Остановить отладку")->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!window->controlAndMonitoring()->isStopOnItsWay()
                                         && window->devicePool()->isKeepAliveEnabled(),
                                     WaitMs);
            const auto control = ConfigurationTraffic::of(controller->writes()).control;
            QCOMPARE(control.mid(control.size() - 3), ConfigurationTraffic::handshake(104));
            window->files().createNew();
            // No check drops the channel: the start's own frames meet the silence.
            window->communication()->setKeepAliveInterval(600000);
            window->communication()->activate(window->communication()->activeChannel());
            controller->misbehave(
                {SimulatedController::Fault::NoReply, SimulatedController::Forever, 0, 0});
            deviceMenuAction("&Начать отладку")->trigger();
        } else {
            readHeldSystem();
            if (damaged) {
                QVERIFY(controller->setConfiguration(damagedImage()));
            } else {
                const ProtoEntry area = SettingsProvider::instance().iocfgBase();
                controller->misbehave({SimulatedController::Fault::NoReply,
                                       SimulatedController::Forever, 0, int(area.rcmd), 0});
            }
            window->show();
            deviceMenuAction("&Считать конфигурацию")->trigger();
        }
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
        // Whatever the end of the read still sends has ended, and what it tells is told.
        QTRY_VERIFY_WITH_TIMEOUT(!window->controlAndMonitoring()->isStopOnItsWay()
                                     && window->devicePool()->isKeepAliveEnabled(),
                                 6 * WaitMs);
        QCoreApplication::processEvents();
        QCOMPARE(prompts.messages.join("\n--\n"), answer);
        QVERIFY(!window->windowTitle().startsWith('*'));
    }

    // A port that another program holds is told once, naming it, however often the ports are
    // scanned; once let go, the controller behind it is found.
    void portHeldByAnotherProgramIsToldOnce()
    {
        ScriptedPrompts prompts;
        const int other = ::open(controller->portPath().toLocal8Bit().constData(),
                                 O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(other >= 0);
        QCOMPARE(::ioctl(other, TIOCEXCL), 0);
        Communication* communication = window->communication();
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        {
            OrdinaryUser user;
            communication->runComPortScan();
            communication->runComPortScan();
        }
        ::close(other);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages[0].contains(controller->portPath()));
        QVERIFY(prompts.messages[0].contains("занят другой программой"));
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(window->devicePool()->systems().size(), 1, WaitMs);
        QCOMPARE(prompts.messages.size(), 1);
    }

    // Two controllers are found, the second one first, so it is the one in use; another port
    // plugged in or pulled out leaves it selected and shown.
    void selectionStaysWhilePortsComeAndGo_data()
    {
        QTest::addColumn<bool>("plugIn");
        QTest::newRow("another port plugged in") << true;
        QTest::newRow("another port pulled out") << false;
    }

    void selectionStaysWhilePortsComeAndGo()
    {
        QFETCH(bool, plugIn);
        SimulatedController second;
        SimulatedController third;
        QList<SimulatedController::BusDevice> bus = MonitoredSystem::bus();
        bus[0].serial = 3003;
        QVERIFY(second.setBus(bus));
        bus[0].serial = 4004;
        QVERIFY(third.setBus(bus));
        // The first port's controller answers its first read late.
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 4, 0});
        third.misbehave({SimulatedController::Fault::Delay, 1, 300, 4, 0});
        const QStringList two{controller->portPath(), second.portPath()};
        const QStringList three = two + QStringList{third.portPath()};
        Communication* communication = window->communication();
        DevicePool* pool = window->devicePool();
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        qputenv(PortEnumerator::ExtraPortsVariable,
                (plugIn ? two : three).join(QLatin1Char(':')).toLocal8Bit());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), plugIn ? 2 : 3, WaitMs);
        QCOMPARE(pool->activeSystem()->info().kernelSn, 3003u);

        QSignalSpy selected(pool, &DevicePool::systemSelected);
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);
        qputenv(PortEnumerator::ExtraPortsVariable,
                (plugIn ? three : two).join(QLatin1Char(':')).toLocal8Bit());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(updated.count(), 1, WaitMs);
        QCOMPARE(pool->systems().size(), plugIn ? 3 : 2);
        QCOMPARE(pool->activeSystem()->info().kernelSn, 3003u);
        QCOMPARE(selected.count(), 0);
        QCOMPARE(badge()->serialText(), QString("SN - 0003003"));
    }

    // The controller does not take the switching of an output: the switch goes back to the state
    // the controller reports.
    void unacceptedSwitchingShowsTheReportedState_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("refused") << int(SimulatedController::Fault::Exception);
        QTest::newRow("unanswered") << int(SimulatedController::Fault::NoReply);
    }

    void unacceptedSwitchingShowsTheReportedState()
    {
        QFETCH(int, fault);
        ScriptedPrompts prompts;
        ProtoEntry coil;
        NodeId_t dout;
        Switch* onOff = monitoredOutputSwitch(prompts, &coil, &dout);
        QVERIFY(onOff);
        // Coils are written with function 15.
        controller->misbehave({SimulatedController::Fault(fault), SimulatedController::Forever, 0,
                               15, 0});
        onOff->setCurrentIndex(0, true);
        QTRY_VERIFY_WITH_TIMEOUT(!controller->writes().isEmpty(), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(onOff->currentIndex(), 1, WaitMs);
        QCOMPARE(controller->entryBytes(coil), QByteArray(1, 0));
        QCOMPARE(liveValue(dout), QString("0"));
    }

    // The switch shows a reported state once, when it changes: readings that report the same
    // state paint nothing, and one that lands between press and release does not swallow the
    // click.
    void outputSwitchShowsEachReportOnceAndTakesEveryClick()
    {
        ScriptedPrompts prompts;
        ProtoEntry coil;
        NodeId_t dout;
        Switch* onOff = monitoredOutputSwitch(prompts, &coil, &dout);
        QVERIFY(onOff);
        // The start's handshake done: none of its frames comes after the switch's.
        QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        controller->clearLog();
        onOff->setCurrentIndex(1, true);
        QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 1, WaitMs);

        PaintedStates painted(onOff);
        // Each batch of readings ends with the controller's own; five batches span many of the
        // outputs' readings.
        QSignalSpy batches(&window->model(), &SystemModel::changedDeviceValues);
        QTRY_VERIFY_WITH_TIMEOUT(batches.count() >= 5, WaitMs);
        QCoreApplication::processEvents();
        QCOMPARE(onOff->currentIndex(), 1);
        QVERIFY2(!painted.states.contains(-1), "the switch was painted blank");

        // Pressed on "Вкл." while the output is switched on elsewhere and the reading shows it.
        const QPoint on(onOff->width() / 4, onOff->height() / 2);
        QTest::mousePress(onOff, Qt::LeftButton, {}, on);
        QVERIFY(controller->setEntryBytes(coil, QByteArray(1, 1)));
        QTRY_COMPARE_WITH_TIMEOUT(onOff->currentIndex(), 0, WaitMs);
        controller->clearLog();
        QTest::mouseRelease(onOff, Qt::LeftButton, {}, on);
        QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 1, WaitMs);
        QCOMPARE(controller->writes().first().values, QVector<quint16>{1});
    }


    void keepAliveHoldsOfBothReachThePool()
    {
        detectAndSelect();
        DevicePool* pool = window->devicePool();
        QVERIFY(pool->isKeepAliveEnabled());
        emit window->deviceConfigurator()->keepAliveControl(false);
        emit window->controlAndMonitoring()->keepAliveControl(false);
        QVERIFY(!pool->isKeepAliveEnabled());
        emit window->controlAndMonitoring()->keepAliveControl(true);
        QVERIFY(!pool->isKeepAliveEnabled());
        emit window->deviceConfigurator()->keepAliveControl(true);
        QVERIFY(pool->isKeepAliveEnabled());
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], SecondCopy::Switch) == 0)
        return SecondCopy::exec(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TavConfiguratorLiveTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tavconfigurator_live.moc"
