// The real window's close and the program's end while controllers are unlocked: the close waits
// for a write or a rewrite on its way and ends with its clear, and a program killed or ended by a
// termination signal (another copy of this test program, run as the program) leaves no controller
// unlocked that the next run does not lock.
#include "livewindowfixture.h"

namespace {

// A frame answered this late holds the program under the password long enough to end it there,
// and within every time-out of the frames it is used on.
constexpr int LateMs = 900;

// The work on its way, or due, when the window is closed.
enum CloseDuring {
    WriteFrameLate,
    WriteClearRefused,
    WriteGivenUp,
    WritePortLost,
    WriteAnswerOpen, // the write's answer still on screen
    RewriteFrameLate,
    RewriteDue,
    RewriteDueBesideADebt,
    RewriteDuePasswordRefused
};

} // namespace

class TavConfiguratorProgramEndTest : public QObject, LiveWindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { LiveWindowFixture::initTestCase(); }
    void init() { LiveWindowFixture::init(); }
    void cleanup() { LiveWindowFixture::cleanup(); }

    // The window closed by its close button during a write (its first image frame answered
    // late, its clear refused, or a frame answered after the writes' cap) or a rewrite while
    // monitoring (on its way, or due after an edit, also while another controller's debt is
    // paid): the close waits for the work behind a progress dialog, a rewrite due goes at once,
    // a write given up at the cap sends nothing after the close's clear, and a controller that
    // refuses the clear is named and kept. The close button pressed again during the wait asks
    // nothing more.
    void closeDuringAWriteWaitsForItsEnd_data()
    {
        QTest::addColumn<int>("work");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("kept");
        // Whether the edit reached the controller's configuration area; -1: either may be.
        QTest::addColumn<int>("written");
        const QString failed = "Не могу записать конфигурацию\nв контроллер\n\n"
                               "Контроллер, возможно, остался разблокированным.\n"
                               "Программа повторит сброс пароля перед завершением работы.";
        const QString locked(2, QChar(0));
        QTest::newRow("first image frame answered late")
            << int(WriteFrameLate) << QStringList{"Конфигурация\nуспешно записана в контроллер"}
            << locked << 0 << 1;
        QTest::newRow("clear refused") << int(WriteClearRefused)
                                       << QStringList{failed, keptWarning()}
                                       << QString::fromLatin1("\xdd\x5b") << 1 << 1;
        QTest::newRow("image frame answered after the writes' cap")
            << int(WriteGivenUp) << QStringList{failed} << locked << 0 << 1;
        // The close can clear only what it finds, and names what it keeps.
        QTest::newRow("port lost at the first image frame")
            << int(WritePortLost)
            << QStringList{"Не могу записать конфигурацию\nв контроллер\n\n"
                           "Контроллер, возможно, остался разблокированным.",
                           keptWarning()}
            << QString::fromLatin1("\xdd\x5b") << 1 << -1;
        QTest::newRow("rewrite while monitoring, its block answered late")
            << int(RewriteFrameLate) << QStringList() << locked << 0 << 1;
        QTest::newRow("rewrite due after an edit")
            << int(RewriteDue) << QStringList() << locked << 0 << 1;
        QTest::newRow("rewrite due while another controller's debt is paid")
            << int(RewriteDueBesideADebt)
            << QStringList{QString(keptWarning()).replace("0031337", "0003003")} << locked << 1
            << 1;
        QTest::newRow("rewrite due, its password refused")
            << int(RewriteDuePasswordRefused)
            << QStringList{"Изменения, сделанные во время отладки, не записаны в контроллер."}
            << locked << 0 << 0;
        // The write's clear was confirmed before its answer opened: nothing is owed.
        QTest::newRow("write answered, its answer open")
            << int(WriteAnswerOpen) << QStringList{"Конфигурация\nуспешно записана в контроллер"}
            << locked << 0 << 1;
    }

    void closeDuringAWriteWaitsForItsEnd()
    {
        QFETCH(int, work);
        QFETCH(QStringList, messages);
        QFETCH(QString, password);
        QFETCH(int, kept);
        QFETCH(int, written);
        WatchingPrompts prompts;
        // Another controller, found but not selected, owes its clear and no longer answers.
        SimulatedController other;
        if (work == RewriteDueBesideADebt) {
            QList<SimulatedController::BusDevice> bus = MonitoredSystem::bus();
            bus[0].serial = 3003;
            QVERIFY(other.setBus(bus));
            qputenv(PortEnumerator::ExtraPortsVariable, other.portPath().toLocal8Bit());
            window->communication()->setSystemPortSource([] { return QList<SerialPortInfo>(); });
            window->communication()->runComPortScan();
            QTRY_COMPARE_WITH_TIMEOUT(window->devicePool()->systems().size(), 1, WaitMs);
            window->devicePool()->owePasswordClear(window->devicePool()->systems().first());
            other.misbehave(SimulatedController::Fault::NoReply, SimulatedController::Forever);
        }
        readHeldSystem();
        window->show();
        const QSharedPointer<Dout> dout = firstDout();
        QVERIFY(dout);
        const bool rewrite = work >= RewriteFrameLate;
        DeviceConfigurator* configurator = window->deviceConfigurator();
        if (rewrite) {
            configurator->monitoring(true);
            // Due, not yet sent, when the close begins.
            configurator->setReconfigurationDelay(work == RewriteFrameLate        ? 10
                                                  : work == RewriteDueBesideADebt ? 300
                                                                                  : 60000);
        }
        // Also what the save question asks about.
        flipSafeState(dout);
        const int chunks = chunksOf(composed(window->model()));
        if (work == WriteClearRefused)
            controller->misbehave({SimulatedController::Fault::Exception,
                                   SimulatedController::Forever, 0, 16, chunks + 2});
        else if (work == WriteGivenUp)
            controller->misbehave({SimulatedController::Fault::Delay, 1, 1000, 16, 1});
        else if (work == WriteFrameLate || work == RewriteFrameLate || work == WritePortLost)
            controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 16, 1});
        else if (work == RewriteDuePasswordRefused)
            controller->misbehave({SimulatedController::Fault::Exception, 1, 0, 16, 0});
        if (work == WriteGivenUp)
            window->deviceShutdown()->setWaitCaps(100, DeviceShutdown::ClearWaitMs);
        bool closed = false;
        if (work == WriteAnswerOpen) {
            // Caps short enough to see a close that waits for them.
            window->deviceShutdown()->setWaitCaps(1000, 1000);
            // As a termination signal closes it: the window system sends no close to a window
            // under a modal box.
            prompts.whileBoxOpen = [this, &closed] { closed = window->close(); };
        }
        if (rewrite) {
            if (work == RewriteFrameLate)
                QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 2, WaitMs);
            QVERIFY(configurator->isWorking() || configurator->isReconfigurationPending());
        } else {
            deviceMenuAction("&Записать конфигурацию")->trigger();
            QVERIFY(window->deviceOperation()->isWriting());
            if (work == WriteGivenUp || work == WritePortLost)
                QTRY_COMPARE_WITH_TIMEOUT(controller->writes().size(), 2, WaitMs);
        }
        if (work == WritePortLost) {
            Communication* communication = window->communication();
            QTimer::singleShot(0, window, [communication] {
                communication->dropChannel(communication->activeChannel());
            });
        }
        const QByteArray edited = composed(window->model());
        prompts.answers.enqueue(DiscardChanges);
        if (work == WriteAnswerOpen)
            QTRY_VERIFY_WITH_TIMEOUT(closed, 2 * WaitMs);
        else
            QVERIFY(closeByItsButton(2));

        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(!window->deviceOperation()->isWriting());
        QCOMPARE(controller->sysEntry("password"), password.toLatin1());
        if (written >= 0)
            QCOMPARE(heldImage(edited) == edited, written == 1);
        QCOMPARE(prompts.messages, messages);
        // A write's answer came up over the close's progress.
        if (!rewrite && work != WriteAnswerOpen)
            QVERIFY(prompts.progressShown.value(0));
        QCOMPARE(keptClears().size(), kept);
        QCOMPARE(window->devicePool()->owedClearCount(), kept);
        if (work == WriteGivenUp) {
            // The close's clear, answered twice in a row as a debt's payment is, and one sent
            // after it: the given-up write's command and clear never go.
            ConfigurationTraffic::Words control;
            QVERIFY(controlUpToAClearSentNow(&control));
            QCOMPARE(control.mid(1), (ConfigurationTraffic::Words{
                                         {ConfigurationTraffic::PasswordRegister, {0}},
                                         {ConfigurationTraffic::PasswordRegister, {0}},
                                         {ConfigurationTraffic::PasswordRegister, {0}}}));
        }
    }

    // The program ended while its controller's password is set, at a frame the controller
    // answers late: killed, it leaves the controller owing its clear in the settings, and the
    // next run clears it first thing; ended by SIGTERM or SIGHUP, it closes as the window's close
    // does, lets the work end with its clear and leaves nothing owed, and so it does when the
    // signal comes while the write's answer is open in its box.
    void programEndedUnderThePasswordLeavesNoControllerUnlocked_data()
    {
        QTest::addColumn<QString>("action");
        // Among the frames that write registers, the one answered late; -1: none.
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("spoilt");
        QTest::newRow("killed at the write's password") << "write" << 0 << SIGKILL << 0;
        QTest::newRow("killed at the write's first image frame") << "write" << 1 << SIGKILL << 0;
        QTest::newRow("killed at the monitoring start's command") << "monitor" << 1 << SIGKILL << 0;
        QTest::newRow("SIGTERM at the write's first image frame") << "write" << 1 << SIGTERM << 0;
        QTest::newRow("SIGHUP at the monitoring start's command") << "monitor" << 1 << SIGHUP << 0;
        QTest::newRow("killed at the write's password, settings file a folder")
            << "write" << 0 << SIGKILL << int(FileIsAFolder);
        QTest::newRow("killed at the monitoring start's command, lock a folder")
            << "monitor" << 1 << SIGKILL << int(LockIsAFolder);
        QTest::newRow("SIGTERM at the write's answer in its box") << "write-box" << -1 << SIGTERM << 0;
        QTest::newRow("killed at the monitoring stop's command, settings file read-only")
            << "monitor-stop" << 4 << SIGKILL << int(FileIsReadOnly);
        QTest::newRow("SIGTERM 5 s into New's wait on a dead line")
            << "monitor-new" << -1 << SIGTERM << 0;
        QTest::newRow("SIGHUP 5 s into Open's wait on a dead line")
            << "monitor-open" << -1 << SIGHUP << 0;
        QTest::newRow("SIGINT 5 s into New's wait on a dead line")
            << "monitor-new" << -1 << SIGINT << 0;
    }

    void programEndedUnderThePasswordLeavesNoControllerUnlocked()
    {
        QFETCH(QString, action);
        QFETCH(int, frame);
        QFETCH(int, signal);
        QFETCH(int, spoilt);
        SystemModel held;
        QVERIFY(holdSystem(*controller, held, twoBoardModule(), 1));
        if (frame >= 0)
            controller->misbehave({SimulatedController::Fault::Delay, 1, LateMs, 16, frame});
        const QString file = QSettings().fileName();
        const auto restore = qScopeGuard([spoilt, file] { unspoil(Spoilt(spoilt), file); });
        QVERIFY(spoil(Spoilt(spoilt), file));
        QProcess copy;
        const auto end = qScopeGuard([&copy] { endCopy(copy); });
        startCopy(copy, action, controller->portPath());
        if (action.endsWith("new") || action.endsWith("open")) {
            endedDuringTheWayOutsWait(copy, signal);
            return;
        }
        QByteArray said;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         said += copy.readAllStandardOutput();
                         return frame < 0 ? said.contains("успешно записана")
                                          : lateFrameArrived(*controller);
                     },
                     3 * WaitMs),
                 copy.readAllStandardError().right(3000).constData());
        ::kill(pid_t(copy.processId()), signal);
        QVERIFY(copy.waitForFinished(3 * WaitMs));
        const bool killed = signal == SIGKILL;
        QCOMPARE(copy.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);
        if (!killed)
            QCOMPARE(copy.exitCode(), 0);
        // Told before each password went out, when the settings could not keep its debt.
        const QStringList lines = QString::fromUtf8(said + copy.readAllStandardOutput()).split('\n');
        const auto asked = [&lines, &file](PasswordUse use) {
            return lines.count("question: "
                               + unkeptAheadQuestion(file, use).replace('\n', QStringLiteral("\\n")));
        };
        const bool monitors = action.startsWith("monitor");
        QCOMPARE(asked(monitors ? PasswordUse::MonitoringStart : PasswordUse::Write),
                 spoilt == Writable ? 0 : 1);
        QCOMPARE(asked(PasswordUse::MonitoringStop),
                 spoilt != Writable && action == "monitor-stop" ? 1 : 0);
        unspoil(Spoilt(spoilt), file);
        QCOMPARE(keptClears(),
                 killed && spoilt == Writable ? QStringList{entryOf(31337)} : QStringList());
        // The late answer has gone out; the next run starts on a quiet line.
        QVERIFY(controller->waitForServed(controller->servedCount(), WaitMs));
        QCOMPARE(controller->sysEntry("password"),
                 killed ? QByteArray("\xdd\x5b", 2) : QByteArray(2, '\0'));
        // What the user was told: the next run cannot know.
        if (spoilt != Writable)
            return;

        delete window;
        window = nullptr;
        controller->clearFault();
        controller->clearLog();
        openWindow();
        detectAndSelect();
        QTRY_VERIFY_WITH_TIMEOUT(keptClears().isEmpty(), WaitMs);
        QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
        // Paid as every debt is, with two answered in a row.
        if (killed)
            QCOMPARE(ConfigurationTraffic::of(controller->writes()).control,
                     (ConfigurationTraffic::Words{{ConfigurationTraffic::PasswordRegister, {0}},
                                                  {ConfigurationTraffic::PasswordRegister, {0}}}));
    }

private:
    // The copy's way out of monitoring with an edit due, the line dead from before it, is
    // ended by `signal` during its wait: the close joins the end under way, tells what did not
    // reach the controller before its own question, asked without the way out's busy dialog and
    // wait cursor, and the program ends with it.
    void endedDuringTheWayOutsWait(QProcess& copy, int signal)
    {
        QByteArray said;
        const auto saidLine = [&copy, &said](const QByteArray& line) {
            return QTest::qWaitFor(
                [&] { return (said += copy.readAllStandardOutput()).contains(line); },
                3 * WaitMs);
        };
        QVERIFY2(saidLine("edited\n"), copy.readAllStandardError().right(3000).constData());
        controller->misbehave({SimulatedController::Fault::NoReply, SimulatedController::Forever});
        controller->clearLog();
        copy.write("go\n");
        // Some 5 s into the wait: three frames unanswered after the first.
        QVERIFY(QTest::qWaitFor([this] { return controller->servedCount() >= 4; }, 8 * WaitMs));
        ::kill(pid_t(copy.processId()), signal);
        QVERIFY(copy.waitForFinished(24 * WaitMs));
        QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.exitCode(), 0);
        QStringList lines = QString::fromUtf8(said + copy.readAllStandardOutput()).split('\n');
        lines = lines.mid(lines.indexOf("edited"));
        const QStringList questions = lines.filter("question: Сохранить изменения в файл");
        QCOMPARE(questions.size(), 1);
        // The close took over the wait it came in during, which shows no longer.
        QVERIFY2(!lines.contains("asked under a wait's dialog or cursor"),
                 qPrintable(lines.join('\n')));
        const int told = lines.indexOf(QRegularExpression("message: .*не записаны в контроллер.*"));
        QVERIFY2(told >= 0 && told < lines.indexOf(questions[0]), qPrintable(lines.join('\n')));
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], SecondCopy::Switch) == 0)
        return SecondCopy::exec(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TavConfiguratorProgramEndTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tavconfigurator_programend.moc"
