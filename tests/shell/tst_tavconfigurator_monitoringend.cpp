// The end of monitoring in the real window against a simulated controller on a pseudo-terminal:
// Device > Stop, File > New, File > Open and the close, with the edits made while monitoring, on a
// line that answers, refuses, goes silent, loses frames or comes back, and what the user is told.
#include "livewindowfixture.h"

#include <QStatusBar>

#include <random>

class TavConfiguratorMonitoringEndTest : public QObject, LiveWindowFixture
{
    Q_OBJECT

private:
    // Edits of outputs chosen at random, each meeting the line as chance has it (answering, the
    // password or command word lost, the rewrite cut after its first block, silent for a few
    // seconds), then one whose rewrite meets a silence and another waiting for its delay as
    // Device > Stop or File > New ends monitoring. After each step, once nothing is on its way,
    // the controller holds the window, and nothing is told.
    void seededRun(ScriptedPrompts& prompts, unsigned seed)
    {
        using Fault = SimulatedController::Fault;
        std::mt19937 random(seed);
        QList<IoResource::Ptr_t> outputs;
        for (const IoResource::Ptr_t& r : window->model().resources())
            if (r->kind() == ResourceKind::Dout)
                outputs << r;
        QVERIFY(!outputs.isEmpty());
        const auto meetTheLine = [this, &random] {
            switch (random() % 4) {
            case 0:
                controller->clearFault();
                break;
            case 1:
                controller->misbehave({Fault::NoReply, 1, 0, 6, int(random() % 2)});
                break;
            case 2:
                controller->misbehave({Fault::NoReply, 1, 0, 16, 1});
                break;
            default:
                controller->misbehave({Fault::Busy, 1, 1000 + int(random() % 4000)});
            }
        };
        const auto settled = [this] {
            return QTest::qWaitFor(
                [this] {
                    return !window->deviceConfigurator()->isWorking()
                           && !window->deviceConfigurator()->isReconfigurationPending()
                           && !window->deviceConfigurator()->hasUnwrittenEdits();
                },
                8 * WaitMs);
        };
        window->deviceConfigurator()->setReconfigurationDelay(10);
        for (int step = 0; step < 6; ++step) {
            meetTheLine();
            flipSafeStateOf(window->model(), outputs.at(int(random() % outputs.size())));
            const QByteArray edit = composed(window->model());
            QVERIFY2(settled(), qPrintable(QString("step %1").arg(step)));
            QCOMPARE(heldImage(edit), edit);
        }
        // One rewrite meets the silence, and the edit after it waits for its delay.
        controller->misbehave({Fault::Busy, 1, 1000 + int(random() % 8000)});
        controller->clearLog();
        flipSafeStateOf(window->model(), outputs.at(int(random() % outputs.size())));
        QVERIFY(QTest::qWaitFor([this] { return controller->servedCount(); }, WaitMs));
        window->deviceConfigurator()->setReconfigurationDelay(600000);
        flipSafeStateOf(window->model(), outputs.at(int(random() % outputs.size())));
        const QByteArray edit = composed(window->model());
        prompts.answers << DiscardChanges;
        if (random() % 2)
            window->files().createNew();
        else
            deviceMenuAction("&Остановить отладку")->trigger();
        QVERIFY(settled());
        QTRY_VERIFY_WITH_TIMEOUT(!window->controlAndMonitoring()->isStopOnItsWay(), 6 * WaitMs);
        QCOMPARE(heldImage(edit), edit);
        QCOMPARE(prompts.messages, QStringList());
    }

private slots:
    void initTestCase() { LiveWindowFixture::initTestCase(); }
    void init() { LiveWindowFixture::init(); }
    void cleanup() { LiveWindowFixture::cleanup(); }

    // Device > Stop monitoring: the tree shows no live values, and the edits waiting for their
    // rewrite's delay are written ahead of the stop's handshake; only the label, which files alone
    // keep, stays unsaved, and so does an edit made right after the stop. An edit whose rewrite
    // met a silent line is written by itself once the line answers, in one rewrite. A refusal is
    // told, and only the stop tries again: refused, the edit stays unsaved. File > New and
    // File > Open end monitoring the same way before the configuration is replaced; a stop that
    // reaches nobody, and an edit that does not, are told in one notice before any question, which
    // decides the edit's fate.
    void stopFromTheDeviceMenu_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::newRow("nothing edited") << "";
        QTest::newRow("an output, its rewrite waiting for its delay") << "output";
        QTest::newRow("an output and the controller's label, waiting") << "output, label";
        QTest::newRow("a serial port, its rewrite waiting for its delay") << "port";
        QTest::newRow("an output, edited again as the stop writes it") << "output, again";
        QTest::newRow("an output, the line silent 20 s from its edit, then answering")
            << "output, silent";
        QTest::newRow("an output edited twice, rewritten once each, once past a 3 s silence")
            << "counted";
        QTest::newRow("an output, its command word refused busy, and at the stop again")
            << "output, refused";
        QTest::newRow("an output, then File > New within its delay") << "output, new";
        QTest::newRow("an output, then File > Open within its delay") << "output, open";
        QTest::newRow("an output owed to a silent line, the line answering, then File > New")
            << "owed output, new";
        QTest::newRow("nothing edited, the stop on a silent line") << "stop in silence";
        QTest::newRow("an output, its rewrite waiting, the stop on a silent line")
            << "output, stop in silence";
        QTest::newRow("an output, the line silent, then the close answered Don't save")
            << "output, close in silence";
        QTest::newRow("an output, Stop, then File > New, the line silent from its rewrite's password")
            << "output, stop, then new";
    }

    void stopFromTheDeviceMenu()
    {
        QFETCH(QString, edited);
        ScriptedPrompts prompts;
        ProtoEntry coil;
        NodeId_t output;
        QVERIFY(monitoredOutputSwitch(prompts, &coil, &output));
        QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(liveValue(output), QString("0"), WaitMs);
        controller->clearLog();
        const bool silent = edited.endsWith("silent");
        const bool refused = edited.endsWith("refused");
        const bool counted = edited == "counted";
        window->deviceConfigurator()->setReconfigurationDelay(silent || refused || counted ? 10
                                                                                          : 600000);
        using Traffic = ConfigurationTraffic;
        ConfigurationTraffic::Words control;
        if (!edited.isEmpty() && !counted)
            control = ConfigurationTraffic::handshake(102);
        if (refused) {
            // Refused busy twice; after a refused frame, two clears answered in a row.
            controller->misbehave({SimulatedController::Fault::Exception, 2, 6, 16, 0, 4001});
            control += Traffic::Words{{Traffic::PasswordRegister, {0}}};
            control += control;
        }
        if (edited.startsWith("output"))
            flipSafeState(firstDout());
        for (const IoResource::Ptr_t& port : window->model().resources())
            if (edited == "port" && port->kind() == ResourceKind::SerialPort) {
                AbstractConfig config;
                port->exportConfig(config);
                config.port.safeTime += 500;
                port->importConfig(config);
                window->model().resourceUpdated({port->id()});
                break;
            }
        // No check to drop the channel: the window's own frames meet the silence.
        const auto silence = [this] {
            window->communication()->setKeepAliveInterval(600000);
            window->communication()->activate(window->communication()->activeChannel());
            controller->misbehave(
                {SimulatedController::Fault::NoReply, SimulatedController::Forever, 0, 0});
            controller->clearLog();
            return QTest::qWaitFor([this] { return controller->servedCount() > 0; }, WaitMs);
        };
        const QString stopNotSent =
            "Команда остановки отладки не отправлена: контроллер TAV-1020-10 SN - 0031337 остаётся "
            "в режиме отладки.\nЧтобы вывести его из этого режима, начните и снова остановите на "
            "нём отладку, когда он будет найден снова.";
        if (edited.endsWith("in silence")) {
            QVERIFY(silence());
            if (edited.endsWith("close in silence")) {
                // Told in one notice before the question that could throw the edit away.
                prompts.answers << DiscardChanges;
                QVERIFY(closeByItsButton(0));
                QCOMPARE(prompts.messages,
                         QStringList{stopNotSent + "\n\n" + notWrittenBeforeTheQuestion()});
                QCOMPARE(prompts.questions.value(0).toldBefore, 1);
                return;
            }
            deviceMenuAction("&Остановить отладку")->trigger();
            // Until the end is over the window says what it waits for, and nothing new starts.
            const auto startable = [this] {
                return deviceMenuAction("&Начать отладку")->isEnabled()
                       || deviceMenuAction("&Считать конфигурацию")->isEnabled()
                       || deviceMenuAction("&Записать конфигурацию")->isEnabled();
            };
            QVERIFY(!startable());
            const bool rewrite = edited.startsWith("output");
            QCOMPARE(window->statusBar()->currentMessage(),
                     QString("Завершение отладки на контроллере TAV-1020-10 SN - 0031337: %1"
                             "команда остановки...")
                         .arg(rewrite ? "запись изменений, сделанных во время отладки, и " : ""));
            // Told once the rewrite's and the stop's frames went unanswered, with the line still
            // silent: what the end left undone, in one box.
            QTRY_COMPARE_WITH_TIMEOUT(
                prompts.messages,
                QStringList{stopNotSent + (rewrite ? "\n\n" + notWrittenNotice(false) : "")},
                (rewrite ? 16 : 6) * WaitMs);
            QVERIFY(window->statusBar()->isHidden());
            QVERIFY(startable());
            return;
        }
        if (edited.endsWith("stop, then new")) {
            controller->misbehave({SimulatedController::Fault::Busy, 1, 600000, 16});
            deviceMenuAction("&Остановить отладку")->trigger();
            prompts.answers << DiscardChanges;
            window->files().createNew();
            // The question waits for the end the stop began, and what it tells comes first.
            QCOMPARE(prompts.questions.size(), 1);
            QCOMPARE(prompts.questions[0].toldBefore, 1);
            QVERIFY(prompts.messages[0].contains("не записаны в контроллер"));
            QVERIFY(!window->deviceConfigurator()->isWorking());
            return;
        }
        if (edited.contains(", new") || edited.endsWith("open")) {
            const QString file = QDir(env.path()).filePath("other.tavc");
            window->files().storage().setFileName(file);
            QVERIFY(window->files().storage().save());
            if (edited.startsWith("owed")) {
                window->deviceConfigurator()->setReconfigurationDelay(10);
                QVERIFY(silence());
                flipSafeState(firstDout());
                QTRY_VERIFY_WITH_TIMEOUT(window->deviceConfigurator()->isWorking(), WaitMs);
                QTRY_VERIFY_WITH_TIMEOUT(!window->deviceConfigurator()->isWorking(), 12 * WaitMs);
                // No read of the monitoring answered to send it again.
                window->controlAndMonitoring()->setTickInterval(600000);
                controller->clearFault();
            }
            const QByteArray edit = composed(window->model());
            prompts.answers << DiscardChanges;
            prompts.fileNames << file;
            if (edited.endsWith("open"))
                window->files().open();
            else
                window->files().createNew();
            QVERIFY(!window->controlAndMonitoring()->isMonitoring());
            QCOMPARE(heldImage(edit), edit);
            QVERIFY(prompts.messages.isEmpty());
            QVERIFY(!window->windowTitle().startsWith('*'));
            return;
        }
        if (silent) {
            // No check to find the line silent: monitoring goes on until the line answers.
            window->communication()->setKeepAliveInterval(600000);
            window->communication()->activate(window->communication()->activeChannel());
            controller->misbehave({SimulatedController::Fault::Busy, 1, 20000});
            const QByteArray edit = composed(window->model());
            QTRY_COMPARE_WITH_TIMEOUT(heldImage(edit), edit, 40000);
            QTRY_VERIFY_WITH_TIMEOUT(!window->deviceConfigurator()->isWorking(), WaitMs);
            controller->clearLog();
            control.clear();
        }
        // Ten answered reads, at each of which a rewrite kept from the controller goes again.
        QSignalSpy ticks(&window->model(), &SystemModel::changedDeviceValues);
        const auto commandsAfterTicks = [this, &ticks] {
            ticks.clear();
            const bool ten = QTest::qWaitFor([&ticks] { return ticks.count() >= 10; }, WaitMs);
            return ten ? Traffic::of(controller->writes()).control.count({4001, {102}}) : -1;
        };
        if (refused) {
            QTRY_VERIFY_WITH_TIMEOUT(
                prompts.messages.value(0).startsWith("Контроллер не принял изменения"), WaitMs);
            QCOMPARE(commandsAfterTicks(), 1);
        }
        for (int silenceMs : counted ? QList<int>{0, 3000} : QList<int>()) {
            // Silent from its password on, the rewrite goes again once a read is answered.
            if (silenceMs)
                controller->misbehave({SimulatedController::Fault::Busy, 1, silenceMs, 16});
            flipSafeState(firstDout());
            const QByteArray edit = composed(window->model());
            QTRY_COMPARE_WITH_TIMEOUT(heldImage(edit), edit, 4 * WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!window->deviceConfigurator()->isWorking(), WaitMs);
            QCOMPARE(commandsAfterTicks(), 1);
            controller->clearLog();
        }
        const Device::Ptr_t kor = window->model().device(window->model().deviceHandles()[0].id);
        AbstractConfig label;
        kor->exportConfig(label);
        label.device.label = "pumps";
        if (edited.endsWith("label"))
            window->resourcesPage()->onChangeDevices({{kor, label}});
        deviceMenuAction("&Остановить отладку")->trigger();
        QVERIFY(liveValue(output).isEmpty());
        // Before the stop's rewrite can call back: that needs the event loop.
        const bool again = edited.endsWith("again");
        if (again)
            flipSafeState(firstDout());
        QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control,
                                  control + ConfigurationTraffic::handshake(104), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!window->deviceConfigurator()->isWorking(), WaitMs);
        QCOMPARE(window->windowTitle().startsWith('*'),
                 edited.endsWith("label") || again || refused);
        // The stop's try refused too: told unwritten.
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), refused ? 2 : 0, WaitMs);
    }

    // What the end of monitoring meets on the line. The stop refused busy: the controller it
    // leaves in monitoring mode is named. The stop answered late: New's wait names the stop
    // alone. A dead line: the stop's password never went out, so once
    // the line answers no clear goes for it, while the clear the controller owed from before is
    // paid. Whenever the line answers, while monitoring or before the end's time is up, the
    // controller gets the window as it is then, ahead of the stop: an edit set back while its
    // first rewrite waited on a silent line, a rewrite cut after its first block, an edit whose
    // rewrite waits behind its identity read as New waits; what is still not written when the end
    // can wait no longer is told once, before the question, with the stop.
    void stopMeetsTheLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("the stop refused busy") << "refused";
        QTest::newRow("the stop answered late, File > New waiting for it") << "slow";
        QTest::newRow("the wait on a dead line, a debt from before") << "dead";
        QTest::newRow("the line back while New's rewrite waits behind its identity read")
            << "back, in flight";
        QTest::newRow("the line answering 3 s before the wait would end") << "back";
        QTest::newRow("an output set and set back, its first rewrite's identity read silent, "
                      "Stop in the second's delay")
            << "set back, stop";
        QTest::newRow("the same, File > New") << "set back, new";
        QTest::newRow("Stop on a dead line with an edit, the line back 25 s later") << "dead, stop";
        QTest::newRow("a rewrite cut after its first block while monitoring, the line back")
            << "cut";
        QTest::newRow("two edits on a line losing every other frame, then File > New")
            << "dead, two, new";
        QTest::newRow("seeded: edits as the line answers, loses a frame or goes silent, a way out")
            << "seeded";
    }

    void stopMeetsTheLine()
    {
        QFETCH(QString, line);
        ScriptedPrompts prompts;
        ProtoEntry coil;
        NodeId_t output;
        QVERIFY(monitoredOutputSwitch(prompts, &coil, &output));
        QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        if (line == "refused") {
            controller->misbehave({SimulatedController::Fault::Exception, 1, 6, 16, 0, 4001});
            deviceMenuAction("&Остановить отладку")->trigger();
            QTRY_COMPARE_WITH_TIMEOUT(
                prompts.messages,
                QStringList{"Контроллер TAV-1020-10 SN - 0031337 не принял команду остановки "
                            "отладки и остаётся в режиме отладки.\nЧтобы вывести его из этого "
                            "режима, начните и снова остановите на нём отладку."},
                WaitMs);
            return;
        }
        if (line == "slow") {
            // The stop's first frame answered late: New's wait shows what it waits for.
            controller->misbehave({SimulatedController::Fault::Delay, 1, 1000, 16});
            QString shown;
            QTimer look;
            connect(&look, &QTimer::timeout, [&shown] {
                if (shown.isEmpty() && shownProgress())
                    shown = shownProgress()->labelText();
            });
            look.start(5);
            window->files().createNew();
            QCOMPARE(shown, "Завершение отладки на контроллере TAV-1020-10 SN - 0031337:\n"
                            "команда остановки...");
            return;
        }
        // No check to drop the channel: the window's own frames meet the silence.
        window->communication()->setKeepAliveInterval(600000);
        window->communication()->activate(window->communication()->activeChannel());
        using Traffic = ConfigurationTraffic;
        using Fault = SimulatedController::Fault;
        if (line == "dead") {
            controller->misbehave({Fault::NoReply, SimulatedController::Forever, 0, 0});
            window->devicePool()->restoreOwedClears({{31337, 0x0B0A140Au}});
            deviceMenuAction("&Остановить отладку")->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(prompts.messages.value(0).startsWith(
                                         "Команда остановки отладки не отправлена"),
                                     6 * WaitMs);
            // The stop's clear, if it were sent, reads who answers by now; the checks come again,
            // and the debt is paid at the first answer.
            controller->clearLog();
            controller->clearFault();
            window->communication()->setKeepAliveInterval(150);
            window->communication()->activate(window->communication()->activeChannel());
            // Neither the debt nor the stop's hold is kept any longer.
            QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->owedClears().isEmpty(), 6 * WaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(keptClears(), QStringList(), WaitMs);
            // The debt's two clears in a row, answered.
            const Traffic::Words::value_type clear{Traffic::PasswordRegister, {0}};
            QCOMPARE(Traffic::of(controller->writes()).control, (Traffic::Words{clear, clear}));
            return;
        }
        if (line == "seeded") {
            seededRun(prompts, 20261210);
            return;
        }
        const bool cut = line == "cut";
        // Silent from the rewrite's frames; the cut one's rewrite goes again at a tick's answer.
        if (!cut)
            window->controlAndMonitoring()->setTickInterval(600000);
        QTRY_COMPARE_WITH_TIMEOUT(window->controlAndMonitoring()->pending(), 0, WaitMs);
        const bool inFlight = line.endsWith("in flight") || cut || line.startsWith("set back");
        window->deviceConfigurator()->setReconfigurationDelay(inFlight ? 10 : 600000);
        if (line == "dead, two, new")
            // Every other frame lost: each frame of a rewrite may take its tries.
            controller->misbehave({Fault::NoReply, SimulatedController::Forever, 0, 0, 0, -1, 2});
        else if (line.startsWith("dead,"))
            controller->misbehave({Fault::NoReply, SimulatedController::Forever, 0, 0});
        else if (cut)
            controller->misbehave({Fault::NoReply, 1, 0, 16, 1});
        else
            controller->misbehave(
                {Fault::Busy, 1, line == "back" ? 15000 : line == "back, in flight" ? 3000 : 6000});
        controller->clearLog();
        flipSafeState(firstDout());
        QVERIFY(!inFlight || QTest::qWaitFor([this] { return controller->servedCount(); }, WaitMs));
        if (line.startsWith("set back") || line.endsWith("two, new")) {
            // The second edit waits for its delay as the first's rewrite meets the line, or its
            // delay ends then too.
            const bool waits = line.startsWith("set back");
            window->deviceConfigurator()->setReconfigurationDelay(waits ? 600000 : 10);
            flipSafeState(firstDout());
            QTRY_VERIFY_WITH_TIMEOUT(
                waits || !window->deviceConfigurator()->isReconfigurationPending(), WaitMs);
        }
        const QByteArray edit = composed(window->model());
        prompts.answers << DiscardChanges;
        if (line.endsWith("stop")) {
            deviceMenuAction("&Остановить отладку")->trigger();
            if (line.startsWith("dead")) {
                // A check meanwhile finds nobody.
                window->communication()->setKeepAliveInterval(150);
                window->communication()->activate(window->communication()->activeChannel());
                QTimer::singleShot(25000, window, [this] { controller->clearFault(); });
            }
            QTRY_VERIFY_WITH_TIMEOUT(window->controlAndMonitoring()->isStopOnItsWay(), WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!window->controlAndMonitoring()->isStopOnItsWay(), 12 * WaitMs);
            QVERIFY(!window->windowTitle().startsWith('*'));
        } else if (cut) {
            QTRY_COMPARE_WITH_TIMEOUT(heldImage(edit), edit, 4 * WaitMs);
            QVERIFY(window->controlAndMonitoring()->isMonitoring());
        } else {
            window->files().createNew();
        }
        if (line.endsWith("two, new")) {
            // Within the wait's cap: one notice, of the stop and the edits, before the question.
            QCOMPARE(prompts.questions.size(), 1);
            QCOMPARE(prompts.questions[0].toldBefore, 1);
            QCOMPARE(prompts.messages.size(), 1);
            QVERIFY(prompts.messages[0].startsWith("Команда остановки отладки не отправлена"));
            QVERIFY(prompts.messages[0].endsWith(notWrittenBeforeTheQuestion()));
            return;
        }
        QCOMPARE(heldImage(edit), edit);
        QCOMPARE(prompts.messages, QStringList());
        // The rewrite's handshake, then the stop's.
        const auto control = Traffic::of(controller->writes()).control;
        QVERIFY(cut || control.mid(control.size() - 6)
                           == Traffic::handshake(102) + Traffic::handshake(104));
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], SecondCopy::Switch) == 0)
        return SecondCopy::exec(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TavConfiguratorMonitoringEndTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tavconfigurator_monitoringend.moc"
