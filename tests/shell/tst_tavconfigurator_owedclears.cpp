// The password clears the real window owes: one still owed at the close is named, kept and paid
// by the next run; two copies of the program (the second one this test program, run as the
// program) keep each other's debts in one settings file; and the close tells what it keeps, also
// when the settings cannot keep it, and every password whose debt they cannot keep is asked about.
#include "livewindowfixture.h"

namespace {

// Who pays a clear owed when the window closes.
enum PaidAtTheClose { NotPaid, SentByTheClose, OnItsWay };

// Notes whether the window showed monitoring when each question was put.
class MonitoringPrompts : public ScriptedPrompts
{
public:
    std::function<bool()> showsMonitoring;
    QList<bool> shown;

    int question(const QString& title, const QString& text, const QStringList& buttons,
                 int defaultButton, int escapeButton) override
    {
        shown.append(showsMonitoring && showsMonitoring());
        return ScriptedPrompts::question(title, text, buttons, defaultButton, escapeButton);
    }
};

} // namespace

class TavConfiguratorOwedClearsTest : public QObject, LiveWindowFixture
{
    Q_OBJECT

private:
    // Monitoring runs on a controller whose debt the settings keep; then they go bad, and the
    // user stops monitoring or edits a value, and answers the question before its password.
    void monitorWhileTheSettingsGoBad(MonitoringPrompts& prompts, Spoilt spoilt, bool goOn,
                                      const QString& operation)
    {
        const bool stop = operation == "stop";
        prompts.showsMonitoring = [this] {
            return window->deviceOperation()->monitorAction()->isVisible()
                   && window->resourcesPage()->hintLabel()->isVisible();
        };
        SystemModel held;
        QVERIFY(holdSystem(*controller, held, twoBoardModule(), 1));
        detectAndSelect();
        window->show();
        window->deviceConfigurator()->setReconfigurationDelay(10);
        prompts.answers.enqueue(DiscardChanges);
        deviceMenuAction("&Начать отладку")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control,
                                  ConfigurationTraffic::handshake(103), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        controller->clearLog();
        const int asked = prompts.questions.size();

        const QString file = QSettings().fileName();
        QVERIFY(spoil(spoilt, file));
        // The save question, had it not been asked, would take the answer below.
        prompts.answers.clear();
        prompts.answers.enqueue(goOn ? 0 : 1);
        if (stop)
            deviceMenuAction("&Остановить отладку")->trigger();
        else
            flipSafeState(firstDout());
        QTRY_COMPARE_WITH_TIMEOUT(prompts.questions.size(), asked + 1, WaitMs);
        QCOMPARE(prompts.questions.last().text,
                 unkeptAheadQuestion(file, stop ? PasswordUse::MonitoringStop
                                                : PasswordUse::Rewrite));
        // Named by what each does to the stop or the rewrite; the stop is asked about while the
        // window shows monitoring, which it shows stopped once answered.
        QCOMPARE(prompts.questions.last().buttons,
                 (stop ? QStringList{"Отправить команду", "Не отправлять"}
                       : QStringList{"Записать изменения", "Не записывать"}));
        QVERIFY(prompts.shown.last());
        QCOMPARE(prompts.showsMonitoring(), !stop);
        ConfigurationTraffic::Words control;
        QVERIFY(controlUpToAClearSentNow(&control));
        const ConfigurationTraffic::Words clear{{ConfigurationTraffic::PasswordRegister, {0}}};
        if (goOn) {
            QCOMPARE(control, ConfigurationTraffic::handshake(104) + clear);
            QVERIFY(prompts.messages.isEmpty());
            return;
        }
        // Nothing but the test's own clear: no password, no command, no configuration block.
        QCOMPARE(controller->writes().size(), 1);
        QCOMPARE(control, clear);
        QTRY_COMPARE_WITH_TIMEOUT(
            prompts.messages,
            QStringList{stop
                            ? "Команда остановки отладки не отправлена: контроллер остаётся в "
                              "режиме отладки.\nЧтобы вывести его из этого режима, начните и "
                              "снова остановите отладку."
                            : "Изменения, сделанные во время отладки, не записаны в "
                              "контроллер.\nОни будут записаны вместе со следующим "
                              "изменением; после остановки отладки их запишет запись всей "
                              "конфигурации (Устройство > Записать конфигурацию)."},
            WaitMs);
        QCOMPARE(prompts.questions.size(), asked + 1);
        if (operation != "rewrite, then the stop and the close")
            return;
        // The edit the controller did not get is unsaved after the stop, and the close asks.
        prompts.answers.enqueue(0);
        deviceMenuAction("&Остановить отладку")->trigger();
        QCOMPARE(prompts.questions.last().text,
                 unkeptAheadQuestion(file, PasswordUse::MonitoringStop));
        QVERIFY(!window->controlAndMonitoring()->isMonitoring());
        QVERIFY(window->windowTitle().startsWith('*'));
        QVERIFY(window->files().action(FileOperations::Save)->isEnabled());
        prompts.answers.enqueue(DiscardChanges);
        QVERIFY(window->close());
        QCOMPARE(prompts.questions.size(), asked + 3);
        QCOMPARE(prompts.questions.last().text,
                 FileOperations::saveQuestionText(window->files().strippedName()));
    }

private slots:
    void initTestCase() { LiveWindowFixture::initTestCase(); }
    void init() { LiveWindowFixture::init(); }
    void cleanup() { LiveWindowFixture::cleanup(); }

    // A clear still owed when the window closes is tried once more while the controller
    // answers; what stays owed is named to the user and kept, and the next run of the program
    // clears the password first thing when it finds that controller.
    void clearOwedAtTheCloseIsPaidInTheNextRun_data()
    {
        QTest::addColumn<bool>("gone");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("paidAtTheClose");
        QTest::newRow("clear refused until the close") << false << true << int(NotPaid);
        QTest::newRow("controller gone at its clear") << true << true << int(NotPaid);
        // Killed, or the machine switched off: the debt was kept as it arose.
        QTest::newRow("program ended without its close") << false << false << int(NotPaid);
        // The close sends the clear itself, or waits for the one on its way, and ends with it.
        QTest::newRow("controller answers again at the close")
            << false << true << int(SentByTheClose);
        QTest::newRow("clear on its way at the close") << false << true << int(OnItsWay);
    }

    void clearOwedAtTheCloseIsPaidInTheNextRun()
    {
        QFETCH(bool, gone);
        QFETCH(bool, closed);
        QFETCH(int, paidAtTheClose);
        ScriptedPrompts prompts;
        readHeldSystem();
        const int chunks = chunksOf(composed(window->model()));
        controller->misbehave({gone ? SimulatedController::Fault::Vanish
                                    : SimulatedController::Fault::Exception,
                               gone ? 1 : SimulatedController::Forever, 0, 16, chunks + 2});
        window->show();
        QSignalSpy written(window->deviceConfigurator(), &DeviceConfigurator::written);
        deviceMenuAction("&Записать конфигурацию")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 2 * WaitMs);
        QCOMPARE(window->devicePool()->owedClearCount(), 1);
        if (gone)
            QTRY_VERIFY_WITH_TIMEOUT(!window->devicePool()->activeSystem(), WaitMs);
        prompts.messages.clear();
        prompts.answers.enqueue(DiscardChanges);
        if (paidAtTheClose != NotPaid) {
            DevicePool* pool = window->devicePool();
            // Between two of the pool's tries.
            QTRY_VERIFY_WITH_TIMEOUT(!pool->isPayingOwedClears(), WaitMs);
            const int frames = controller->writes().size();
            if (paidAtTheClose == OnItsWay) {
                controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 16, 0});
                QTRY_VERIFY_WITH_TIMEOUT(controller->writes().size() > frames, 2 * WaitMs);
                QVERIFY(pool->isPayingOwedClears());
            } else {
                controller->clearFault();
            }
            // The keep-alive ticks on through the close: a close that ends with the clear
            // hears few of them, one that sits out its cap a hundred.
            QSignalSpy ticks(window->communication(), &Communication::needKeepAlive);
            QVERIFY(closeByItsButton(0));
            QVERIFY(ticks.count() < DeviceShutdown::ClearWaitMs / 150 / 4);
            QCOMPARE(controller->sysEntry("password"), QByteArray(2, '\0'));
            // Paid as every debt is, with two answered in a row.
            QCOMPARE(ConfigurationTraffic::of(controller->writes().mid(frames)).control,
                     (ConfigurationTraffic::Words{{ConfigurationTraffic::PasswordRegister, {0}},
                                                  {ConfigurationTraffic::PasswordRegister, {0}}}));
            QVERIFY(prompts.messages.isEmpty());
            QVERIFY(keptClears().isEmpty());
            QCOMPARE(pool->owedClearCount(), 0);
            return;
        }
        if (closed) {
            QVERIFY(window->close());
            QCOMPARE(prompts.messages, QStringList{keptWarning()});
        }
        QCOMPARE(keptClears().size(), 1);
        QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));

        // The next run, over settings that also hold an entry naming no controller.
        delete window;
        window = nullptr;
        QSettings().setValue(QStringLiteral("owedPasswordClears"),
                             keptClears() << QStringLiteral("31337"));
        controller->clearFault();
        if (gone)
            QVERIFY(controller->reappear());
        controller->clearLog();
        openWindow();
        detectAndSelect();
        QTRY_COMPARE_WITH_TIMEOUT(controller->sysEntry("password"), QByteArray(2, '\0'), WaitMs);
        QCOMPARE(ConfigurationTraffic::of(controller->writes()).control.value(0),
                 (ConfigurationTraffic::Words::value_type{ConfigurationTraffic::PasswordRegister,
                                                          {0}}));
        QTRY_COMPARE_WITH_TIMEOUT(window->devicePool()->owedClearCount(), 0, WaitMs);
        prompts.messages.clear();
        prompts.answers.enqueue(DiscardChanges);
        QVERIFY(window->close());
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(keptClears().isEmpty());
    }

    // Two copies of the program on one settings file, each writing to a controller that refuses
    // its password clear: each keeps its own debt and leaves the other's, whichever writes last,
    // and one that pays its debt takes out only that.
    void twoCopiesKeepEachOthersDebts_data()
    {
        QTest::addColumn<bool>("firstPays");
        QTest::newRow("both owe until they end") << false;
        QTest::newRow("the first pays while the second owes") << true;
    }

    void twoCopiesKeepEachOthersDebts()
    {
        QFETCH(bool, firstPays);
        ScriptedPrompts prompts;
        writeWithItsClearRefused();
        QCOMPARE(keptClears(), QStringList{entryOf(31337)});

        // The second copy's controller: the same make-up, another serial number.
        SimulatedController other;
        SystemModel held;
        QVERIFY(holdSystem(other, held, twoBoardModule(), 1));
        QVERIFY(other.setBus(heldBus(twoBoardModule(), 1, 4242)));
        other.misbehave(clearRefused());
        QProcess copy;
        const auto end = qScopeGuard([&copy] { endCopy(copy); });
        startCopy(copy, "write-close", other.portPath());
        QVERIFY(copy.waitForFinished(6 * WaitMs));
        QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.exitCode(), 0);
        QVERIFY(copy.readAllStandardOutput().contains("SN - 0004242"));
        QCOMPARE(sorted(keptClears()), (QStringList{entryOf(31337), entryOf(4242)}));

        const QStringList kept = firstPays ? QStringList{entryOf(4242)}
                                           : QStringList{entryOf(31337), entryOf(4242)};
        if (firstPays) {
            controller->clearFault();
            QTRY_COMPARE_WITH_TIMEOUT(window->devicePool()->owedClearCount(), 0, 2 * WaitMs);
            QCOMPARE(keptClears(), kept);
        }
        prompts.answers.enqueue(DiscardChanges);
        QVERIFY(window->close());
        QCOMPARE(sorted(keptClears()), kept);
    }

    // What the close tells of the debts it keeps: with the settings unable to keep them, that
    // nothing is kept and what the user can do instead; beyond ten controllers, the count of the
    // rest. Kept entries that no controller can answer to are dropped at the start. Every password
    // whose debt the settings cannot keep ahead is asked about first, once: a write's, and while
    // monitoring runs, after the settings went bad, a stop's and a rewrite's. Stopped, it sends
    // nothing, and what that leaves undone is told: an edit whose rewrite was stopped stays an
    // unsaved change through the monitoring stop, and the close asks about it.
    void closeTellsWhatItKeeps_data()
    {
        QTest::addColumn<int>("spoilt");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<int>("keptBefore");
        // "write", or while monitoring: "stop", "rewrite", "rewrite, then the stop and the close".
        QTest::addColumn<QString>("operation");
        QTest::newRow("settings file a folder") << int(FileIsAFolder) << true << 0 << "write";
        QTest::newRow("settings file a dangling link")
            << int(FileIsADanglingLink) << true << 0 << "write";
        QTest::newRow("lock beside the settings a folder")
            << int(LockIsAFolder) << true << 0 << "write";
        QTest::newRow("disk full") << int(DiskFull) << true << 0 << "write";
        QTest::newRow("settings file read-only") << int(FileIsReadOnly) << true << 0 << "write";
        QTest::newRow("settings file a folder, write stopped")
            << int(FileIsAFolder) << false << 0 << "write";
        QTest::newRow("a thousand kept from earlier runs") << int(Writable) << true << 1000
                                                          << "write";
        QTest::newRow("settings file read-only while monitoring, stop stopped")
            << int(FileIsReadOnly) << false << 0 << "stop";
        QTest::newRow("disk full while monitoring, stop stopped")
            << int(DiskFull) << false << 0 << "stop";
        QTest::newRow("settings file a folder while monitoring, stop stopped")
            << int(FileIsAFolder) << false << 0 << "stop";
        QTest::newRow("settings file read-only while monitoring, stop goes on")
            << int(FileIsReadOnly) << true << 0 << "stop";
        QTest::newRow("settings file read-only while monitoring, rewrite stopped")
            << int(FileIsReadOnly) << false << 0 << "rewrite";
        QTest::newRow("disk full while monitoring, rewrite stopped")
            << int(DiskFull) << false << 0 << "rewrite";
        QTest::newRow("settings file a folder while monitoring, rewrite stopped")
            << int(FileIsAFolder) << false << 0 << "rewrite";
        QTest::newRow("settings file read-only while monitoring, rewrite stopped, then the stop")
            << int(FileIsReadOnly) << false << 0 << "rewrite, then the stop and the close";
    }

    void closeTellsWhatItKeeps()
    {
        QFETCH(int, spoilt);
        QFETCH(bool, goOn);
        QFETCH(int, keptBefore);
        QFETCH(QString, operation);
        QStringList earlier;
        for (int serial = 1; serial <= keptBefore; ++serial)
            earlier.append(entryOf(quint32(serial)));
        delete window;
        window = nullptr;
        // Type 0, a type no brand's controller has, serial number 0.
        QSettings().setValue(QStringLiteral("owedPasswordClears"),
                             QStringList{"5:0", "6:1", "0:185209866"} + earlier);
        openWindow();
        QCOMPARE(keptClears(), earlier);

        const QString file = QSettings().fileName();
        const auto restore = qScopeGuard([spoilt, file] { unspoil(Spoilt(spoilt), file); });
        MonitoringPrompts prompts;
        if (operation != "write") {
            monitorWhileTheSettingsGoBad(prompts, Spoilt(spoilt), goOn, operation);
            return;
        }
        QVERIFY(spoil(Spoilt(spoilt), file));
        if (spoilt != Writable)
            prompts.answers.enqueue(goOn ? 0 : 1);
        if (goOn) {
            writeWithItsClearRefused();
        } else {
            readHeldSystem();
            deviceMenuAction("&Записать конфигурацию")->trigger();
            ConfigurationTraffic::Words control;
            QVERIFY(controlUpToAClearSentNow(&control));
            QCOMPARE(control, (ConfigurationTraffic::Words{
                                  {ConfigurationTraffic::PasswordRegister, {0}}}));
        }
        QCOMPARE(prompts.questions.size(), spoilt == Writable ? 0 : 1);
        if (spoilt != Writable)
            QCOMPARE(prompts.questions[0].text, unkeptAheadQuestion(file));
        if (spoilt != Writable)
            QCOMPARE(prompts.questions[0].buttons, (QStringList{"Записать", "Не записывать"}));
        prompts.messages.clear();
        prompts.answers.enqueue(DiscardChanges);
        QVERIFY(window->close());
        if (!goOn) {
            QVERIFY(prompts.messages.isEmpty());
            return;
        }

        const QString listed =
            keptBefore ? "TAV-1020-10 SN - 0000001\nTAV-1020-10 SN - 0000002\n"
                         "TAV-1020-10 SN - 0000003\nTAV-1020-10 SN - 0000004\n"
                         "TAV-1020-10 SN - 0000005\nTAV-1020-10 SN - 0000006\n"
                         "TAV-1020-10 SN - 0000007\nTAV-1020-10 SN - 0000008\n"
                         "TAV-1020-10 SN - 0000009\nTAV-1020-10 SN - 0000010\n"
                         "Ещё контроллеров: 991"
                       : "TAV-1020-10 SN - 0031337";
        const QString told =
            spoilt == Writable
                ? QString("Каждый из них будет заблокирован, когда программа найдёт его "
                          "снова, в том числе при следующем запуске.")
                : "Сохранить это в настройках программы не удалось, и при следующем запуске "
                  "программа их не заблокирует. Файл настроек:\n"
                      + QDir::toNativeSeparators(file)
                      + "\nЧтобы заблокировать контроллер, найдите его в программе и запишите в "
                        "него конфигурацию снова (Устройство > Записать конфигурацию).";
        QCOMPARE(prompts.messages,
                 QStringList{"Контроллеры, которые, возможно, остались разблокированными:\n"
                             + listed + "\n\n" + told});
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], SecondCopy::Switch) == 0)
        return SecondCopy::exec(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TavConfiguratorOwedClearsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tavconfigurator_owedclears.moc"
