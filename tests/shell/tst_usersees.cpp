// What the user meets around the window: no dialog at a start without a file, the alarm badge at
// zero on connecting until the first alarm read answers, and a hung USB restart told in seconds.
#include "alarms/alarmsaction.h"
#include "alarms/systemalarms.h"
#include "communication/deviceconfigurator.h"
#include "model/systemmodel.h"
#include "onlinefixture.h"
#include "platform/usbrestarter.h"
#include "scriptedprompts.h"
#include "shell/deviceoperation.h"
#include "shell/fileoperations.h"
#include "shell/portpermissionnotice.h"
#include "shell/portscans.h"
#include "shell/programstart.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

namespace {

// A restart that starts and never ends.
class HungRestarter : public UsbRestarter
{
public:
    bool start(const QString&) override { return true; }
};

// Runs the event loop until every timer due within `ms` has fired: a later timer fires after
// them.
bool passTimersDueWithin(int ms)
{
    QTimer marker;
    marker.setSingleShot(true);
    marker.setTimerType(Qt::PreciseTimer);
    QSignalSpy fired(&marker, &QTimer::timeout);
    marker.start(ms);
    return fired.wait(5000);
}

} // namespace

class UserSeesTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { QCoreApplication::setApplicationName("Tav Configurator"); }

    void startOpensOnlyTheFileNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("prompted");
        QTest::newRow("no argument") << QStringList{"TavConfigurator"} << false;
        QTest::newRow("engineering switch") << QStringList{"TavConfigurator", "-dev"} << false;
        QTest::newRow("missing file")
            << QStringList{"TavConfigurator", "/nonexistent/plant.tavc"} << true;
    }

    void startOpensOnlyTheFileNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, prompted);
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        QObject window;
        ProgramStart::openCommandLineFile(&window, &files,
                                          ProgramStart::commandLineFile(arguments));
        QVERIFY(passTimersDueWithin(50));
        const int asked = prompts.questions.size() + prompts.messages.size()
                          + prompts.dialogCaptions.size() + prompts.shownDialogs.size();
        QCOMPARE(asked != 0, prompted);
    }

    void alarmBadgeIsZeroOnConnectingUntilTheFirstRead()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        Alarms::SystemAlarms alarms;
        DeviceConfigurator configurator(&model);
        DeviceOperation ops(&model, &alarms, nullptr, &configurator);
        ops.createActions();
        QWidget bar;
        QWidget* badge = ops.alarmsAction()->requestWidget(&bar);
        QVERIFY(badge);
        const auto counts = [badge] {
            QStringList numbers;
            for (const QString& line : badge->toolTip().split('\n'))
                numbers << line.section(' ', -1);
            return numbers;
        };
        emit alarms.alarmsChanged(2, 1, 3);
        QCOMPARE(counts(), (QStringList{"2", "1", "3"}));

        const LiveSystem::Ptr_t system = OnlineFixture::liveSystem({{0x0B0A140Au, 0, 1001, 9, 0, 77}});
        QVERIFY(system && system->isValid());
        ops.systemSelected(system);
        QCOMPARE(counts(), (QStringList{"0", "0", "0"}));
        emit alarms.alarmsChanged(1, 0, 0);
        QCOMPARE(counts(), (QStringList{"1", "0", "0"}));
        ops.alarmsAction()->releaseWidget(badge);
    }

    // The watchdog runs short here; the user is told the time the program really waits.
    void hungUsbRestartIsToldInSeconds()
    {
        ScriptedPrompts prompts;
        HungRestarter restarter;
        PortScans scans(nullptr, nullptr, &restarter);
        PortPermissionNotice notice;
        connect(&scans, &PortScans::restartFailed, &notice, &PortPermissionNotice::restartFailed);
        scans.setRestartWatchdog(50);
        scans.restartHangupUsbSerialPort({"A1"});
        QTRY_VERIFY_WITH_TIMEOUT(!scans.isRestartInProgress(), 5000);
        QCOMPARE(prompts.messages,
                 QStringList{QStringLiteral("Перезапуск USB-устройства не завершился за 30 с")});
    }
};

QTEST_MAIN(UserSeesTest)
#include "tst_usersees.moc"
