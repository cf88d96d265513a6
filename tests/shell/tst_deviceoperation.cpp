// The Device menu's decisions: which actions the user may take in each state, the questions and
// messages put through the prompts, and the write's progress and its guard against a second write.
#include "alarms/alarmsaction.h"
#include "alarms/systemalarms.h"
#include "communication/controlrequest.h"
#include "communication/deviceconfigurator.h"
#include "model/systemmodel.h"
#include "onlinefixture.h"
#include "scriptedprompts.h"
#include "shell/deviceoperation.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "widgets/monitoraction.h"
#include "widgets/sysinfoaction.h"

#include <QAction>
#include <QProgressDialog>
#include <QtTest>

namespace {

using Bus = QList<SimulatedController::BusDevice>;

// Enabled state of start (both), stop (menu and toggle), read and write.
struct Enablement
{
    bool start;
    bool stop;
    bool read;
    bool write;
};

} // namespace

class DeviceOperationTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    SystemModel* model = nullptr;
    Alarms::SystemAlarms* alarms = nullptr;
    DeviceConfigurator* configurator = nullptr;
    DeviceOperation* ops = nullptr;
    QList<Request::Ptr_t> sent;

    Bus bus(DeviceType_t cpu, HardwareVersion revision = 0) const
    {
        return {{cpu, revision, 1001, 9, 0, 77}};
    }
    void addController(HardwareVersion revision = 0)
    {
        DeviceHandle h;
        h.type = tav;
        h.revision = revision;
        h.id = SystemModel::newNodeId();
        h.number = 0;
        QVERIFY(model->addDevice(h));
        model->systemUpdated();
    }
    Enablement enablement() const
    {
        using A = DeviceOperation;
        const Enablement e{ops->action(A::StartMenu)->isEnabled(),
                           ops->action(A::StopMenu)->isEnabled(), ops->action(A::Read)->isEnabled(),
                           ops->action(A::Write)->isEnabled()};
        // The two start actions and the two stop actions agree while shown.
        [&] {
            if (ops->action(A::StartToolBar)->isVisible())
                QCOMPARE(ops->action(A::StartToolBar)->isEnabled(), e.start);
            if (ops->monitorAction()->isVisible())
                QCOMPARE(ops->monitorAction()->isEnabled(), e.stop);
        }();
        return e;
    }
    void expect(const Enablement& want)
    {
        const Enablement got = enablement();
        QCOMPARE(got.start, want.start);
        QCOMPARE(got.stop, want.stop);
        QCOMPARE(got.read, want.read);
        QCOMPARE(got.write, want.write);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        // A controller whose revisions 0 and 4 place the fast inputs differently.
        tav = 0x0B0A140Au;
        QVERIFY(SettingsProvider::instance().templates.contains(tav));
    }

    void init()
    {
        model = new SystemModel;
        alarms = new Alarms::SystemAlarms;
        configurator = new DeviceConfigurator(model);
        sent.clear();
        connect(configurator, &DeviceConfigurator::sendRequest, this,
                [this](Request::Ptr_t r) { sent.append(r); });
        ops = new DeviceOperation(model, alarms, nullptr, configurator);
        ops->createActions();
    }

    void cleanup()
    {
        delete ops;
        delete configurator;
        delete alarms;
        delete model;
    }

    void enablementFollowsSystemAndMonitoringState()
    {
        ScriptedPrompts prompts;
        addController();
        expect({false, false, false, false});
        QVERIFY(!ops->sysInfoAction()->isEnabled());
        QVERIFY(!ops->alarmsAction()->isEnabled());

        const LiveSystem::Ptr_t invalid(new LiveSystem);
        ops->systemSelected(invalid);
        expect({false, false, false, false});

        const LiveSystem::Ptr_t valid = OnlineFixture::liveSystem(bus(tav));
        QVERIFY(valid && valid->isValid());
        configurator->setSystem(valid);
        ops->systemSelected(valid);
        expect({true, false, true, true});
        QVERIFY(ops->sysInfoAction()->isEnabled());

        ops->onMonitoring();
        QVERIFY(ops->isMonitoringRequested());
        expect({false, true, false, false});

        QSignalSpy mode(ops, &DeviceOperation::monitoringMode);
        ops->onLoaded(true);
        QCOMPARE(mode.count(), 1);
        QVERIFY(mode[0][0].toBool());
        expect({false, true, false, false});
        QVERIFY(ops->monitorAction()->isVisible());
        QVERIFY(!ops->action(DeviceOperation::StartToolBar)->isVisible());

        ops->systemLost();
        QCOMPARE(mode.count(), 2);
        QVERIFY(!mode[1][0].toBool());
        expect({false, false, false, false});
    }

    void writeNeedsAConfigurationOfTheConnectedController()
    {
        const LiveSystem::Ptr_t valid = OnlineFixture::liveSystem(bus(tav));
        ops->systemSelected(valid);
        QVERIFY(!ops->action(DeviceOperation::Write)->isEnabled());
        addController();
        QVERIFY(ops->action(DeviceOperation::Write)->isEnabled());
    }

    void emulatorsRefuseWhatTheyCannotDo()
    {
        ScriptedPrompts prompts;
        QVERIFY(!DeviceOperation::checkConfigSupported(20020));
        QVERIFY(DeviceOperation::checkMonitoringSupported(20020));
        QCOMPARE(prompts.messages,
                 QStringList{"Загрузка конфигурации не поддерживается\nэмулятором данного типа"});
        prompts.messages.clear();
        QVERIFY(!DeviceOperation::checkMonitoringSupported(20021));
        QVERIFY(DeviceOperation::checkConfigSupported(20021));
        QVERIFY(DeviceOperation::checkConfigSupported(tav));
        QCOMPARE(prompts.messages,
                 QStringList{"Мониторинг и отладка не поддерживается\nэмулятором данного типа"});
    }

    void fastInputMismatchAsksBeforeWriting()
    {
        ScriptedPrompts prompts;
        addController(0);
        // The connected controller has another revision of the same boards.
        ops->systemSelected(OnlineFixture::liveSystem(bus(tav, 4)));
        QSignalSpy writing(ops, &DeviceOperation::aboutToWrite);
        prompts.answers.enqueue(1);
        ops->write();
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.questions[0].text.contains("быстрых DIN"));
        QCOMPARE(writing.count(), 0);
        QVERIFY(!ops->isWriting());

        prompts.answers.enqueue(0);
        ops->write();
        QCOMPARE(writing.count(), 1);
    }

    void progressRunsThreeStepsPerDeviceAndAWriteBlocksTheNext()
    {
        ScriptedPrompts prompts;
        addController();
        for (int i = 1; i < 4; ++i) {
            DeviceHandle module;
            module.type = ModelFixture::firstOfKind(SettingsProvider::instance().pexTypes, 10);
            module.revision = 0;
            module.id = SystemModel::newNodeId();
            module.owner = model->deviceHandles().first().id;
            module.number = i;
            QVERIFY(model->addDevice(module));
        }
        const LiveSystem::Ptr_t valid = OnlineFixture::liveSystem(bus(tav));
        configurator->setSystem(valid);
        ops->systemSelected(valid);
        prompts.answers.enqueue(0);
        QSignalSpy writing(ops, &DeviceOperation::aboutToWrite);
        ops->write();
        QCOMPARE(writing.count(), 1);
        QVERIFY(ops->writeProgress().dialog());
        QCOMPARE(ops->writeProgress().dialog()->maximum(), 12);
        expect({false, false, false, false});

        prompts.answers.enqueue(0);
        ops->write();
        QCOMPARE(writing.count(), 1);

        // Without an answer the dialog closes by itself, and read and write stay off.
        QTRY_VERIFY_WITH_TIMEOUT(!ops->writeProgress().dialog(), 5000);
        QVERIFY(!ops->action(DeviceOperation::Write)->isEnabled());
        ops->onWritten(true);
        QCOMPARE(prompts.messages.last(), QString("Конфигурация\nуспешно записана в контроллер"));
        expect({true, false, true, true});
    }

    // Notices come up one box at a time: one posted while a box is open gets a box of its own
    // once that one is closed, and the notices of later moments of the session still come.
    void noticesComeOneBoxAtATime()
    {
        struct ModalPrompts : ScriptedPrompts
        {
            std::function<void()> whileShown;
            int open = 0;
            int mostOpen = 0;
            void information(const QString& title, const QString& text) override
            {
                ScriptedPrompts::information(title, text);
                mostOpen = qMax(mostOpen, ++open);
                if (whileShown)
                    std::exchange(whileShown, nullptr)();
                // A modal box runs the event loop until it is closed.
                QCoreApplication::sendPostedEvents();
                --open;
            }
        } prompts;
        const QString values = "Значения, заданные во время отладки, не записаны в контроллер.";
        prompts.whileShown = [this] { ops->onCommandFailed(ControlRequest::MonitoringStopped); };
        ops->onValuesNotWritten();
        QTRY_COMPARE(prompts.messages,
                     QStringList({values, "Контроллер не принял команду остановки отладки."}));
        QCOMPARE(prompts.mostOpen, 1);
        ops->onValuesNotWritten();
        QTRY_COMPARE(prompts.messages.size(), 3);
    }

    void cancelledSaveQuestionLeavesMonitoringOff()
    {
        addController();
        const LiveSystem::Ptr_t valid = OnlineFixture::liveSystem(bus(tav));
        configurator->setSystem(valid);
        ops->systemSelected(valid);
        ops->saveQuestion = [](const QString&) { return false; };
        ops->onMonitoring();
        QVERIFY(sent.isEmpty());
        expect({true, false, true, true});
    }
};

QTEST_MAIN(DeviceOperationTest)
#include "tst_deviceoperation.moc"
