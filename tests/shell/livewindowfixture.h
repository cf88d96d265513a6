#pragma once

// What every test of the real window online stands on: the window over a simulated controller on
// a pseudo-terminal that its own port scan finds through TAVCFG_EXTRA_PORTS, one run of the program
// per test, and the second copy of the program that some rows start as a process of their own:
// every test program built on this fixture is that copy too when run with SecondCopy::Switch.
#include "communication/communication.h"
#include "communication/configurationtraffic.h"
#include "communication/controlandmonitoring.h"
#include "communication/controlrequest.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "communication/modbusdevice.h"
#include "communication/monitoredsystem.h"
#include "model/dout.h"
#include "resourceconfigurator/editor.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "shell/deviceoperation.h"
#include "shell/deviceshutdown.h"
#include "shell/portscans.h"
#include "shell/programstart.h"
#include "shell/qtprompts.h"
#include "shell/tavconfigurator.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systemconfigurator/treerole.h"
#include "widgets/monitoraction.h"
#include "widgets/switch.h"
#include "widgets/sysinfoaction.h"
#include "widgets/sysinfowidget.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QSettings>
#include <QSocketNotifier>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include "hostilefiles.h"
#include "scriptedprompts.h"
#include "support/isolatedenvironment.h"
#include "support/ordinaryuser.h"

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QtTest>

#include <algorithm>
#include <qpa/qwindowsysteminterface.h>

constexpr int WaitMs = 5000;
// The save question's "Не сохранять".
constexpr int DiscardChanges = 1;

using ResourceTree = ResourceConfiguration::Model;

// How the settings refuse to keep the debts.
enum Spoilt { Writable, FileIsAFolder, FileIsADanglingLink, LockIsAFolder, DiskFull, FileIsReadOnly };

using HostileFiles::setImmutable;

// The settings file and the lock beside it as each case leaves them; undone by `unspoil`.
inline bool spoil(Spoilt how, const QString& file)
{
    switch (how) {
    case Writable:
        return true;
    case FileIsAFolder:
        // The likeliest real case is a file the administrator left, which no ordinary user may
        // write.
        return (QFile::remove(file) || !QFile::exists(file)) && QDir().mkpath(file);
    case FileIsADanglingLink:
        return (QFile::remove(file) || !QFile::exists(file))
               && QFile::link(file + ".gone/settings.conf", file);
    case LockIsAFolder:
        return QDir().mkpath(file + ".owedclears.lock");
    case DiskFull: {
        // Room for the lock beside the settings, not for the settings.
        QSettings().setValue(QStringLiteral("filler"), QString(8192, 'x'));
        QSettings().sync();
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit room{4096, RLIM_INFINITY};
        return ::setrlimit(RLIMIT_FSIZE, &room) == 0;
    }
    case FileIsReadOnly: {
        // Read as ever, written no more: a file an administrator or a backup tool left.
        QSettings().setValue(QStringLiteral("filler"), QStringLiteral("x"));
        QSettings().sync();
        if (!QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup
                                             | QFile::ReadOther)
            || (geteuid() == 0 && !setImmutable(file, true)))
            return false;
        QFile probe(file);
        return probe.open(QIODevice::ReadOnly) && !QFile(file).open(QIODevice::Append);
    }
    }
    return false;
}

inline void unspoil(Spoilt how, const QString& file)
{
    switch (how) {
    case Writable:
        return;
    case FileIsAFolder:
        QDir(file).removeRecursively();
        return;
    case FileIsADanglingLink:
        QFile::remove(file);
        return;
    case LockIsAFolder:
        QDir(file + ".owedclears.lock").removeRecursively();
        return;
    case DiskFull: {
        const rlimit endless{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &endless);
        QSettings().remove(QStringLiteral("filler"));
        return;
    }
    case FileIsReadOnly:
        setImmutable(file, false);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                        | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
        QSettings().remove(QStringLiteral("filler"));
        return;
    }
}

// What the user is asked before a password for `use` goes out that the settings `file` cannot
// keep as owed.
inline QString unkeptAheadQuestion(const QString& file, PasswordUse use = PasswordUse::Write)
{
    const QMap<PasswordUse, QString> asked{
        {PasswordUse::Write, "Записать конфигурацию в контроллер?"},
        {PasswordUse::Rewrite, "Записать в контроллер изменения, сделанные во время отладки?"},
        {PasswordUse::MonitoringStart, "Начать отладку?"},
        {PasswordUse::MonitoringStop,
         "Отправить контроллеру команду остановки отладки? Если её не отправить, контроллер "
         "останется в режиме отладки."}};
    return "Программа не может отметить в своих настройках, что контроллер SN - 0031337 будет "
           "разблокирован на время этой операции. Файл настроек:\n"
           + QDir::toNativeSeparators(file)
           + "\nЕсли программа завершится аварийно во время операции, контроллер может остаться "
             "разблокированным, и при следующем запуске программа об этом не узнает.\n\n"
           + asked.value(use);
}

// The notice of edits made while monitoring that its end left unwritten: `gone`, the controller
// went with the monitoring.
inline QString notWrittenNotice(bool gone)
{
    return QString("Изменения, сделанные во время отладки, не записаны в контроллер.\nОни остаются "
                   "в окне: запись всей конфигурации (Устройство > Записать конфигурацию) запишет "
                   "их в контроллер%1, сохранение — в файл. Следующее начало отладки прочитает "
                   "конфигурацию контроллера, и ответ «Не сохранять» отбросит их.")
        .arg(gone ? ", когда он будет найден снова" : "");
}

// The same, told right before the save question: what its answers do with the edits.
inline QString notWrittenBeforeTheQuestion()
{
    return QString("Изменения, сделанные во время отладки, не записаны в контроллер.\nЧто с ними "
                   "будет, решит ответ на следующий вопрос: «Сохранить» сохранит их в файл, "
                   "«Не сохранять» отбросит их, «Отмена» оставит их в окне, откуда их запишет в "
                   "контроллер запись всей конфигурации (Устройство > Записать конфигурацию).");
}

// The same, another controller on the line in the place of the one the edits were made for.
inline QString notWrittenInPlaceOfAnother()
{
    return QString("Изменения, сделанные во время отладки, не записаны в контроллер.\nОни сделаны "
                   "для контроллера %1, а на линии сейчас другой контроллер: пока он там, запись "
                   "всей конфигурации (Устройство > Записать конфигурацию) запишет их в него. Они "
                   "остаются в окне: запишите их, когда контроллер %1 будет найден снова, или "
                   "сохраните в файл. Следующее начало отладки прочитает конфигурацию "
                   "контроллера, и ответ «Не сохранять» отбросит их.")
        .arg("TAV-1020-10 SN - 0031337");
}

// A progress dialog on screen.
inline QProgressDialog* shownProgress()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QProgressDialog*>(w) && w->isVisible())
            return static_cast<QProgressDialog*>(w);
    return nullptr;
}

// Also notes whether a progress dialog was still on screen when each message came up, and
// may show the next message in a real modal box, running `whileBoxOpen` in the box's own loop.
class WatchingPrompts : public ScriptedPrompts
{
public:
    QList<bool> progressShown;
    std::function<void()> whileBoxOpen;

    void information(const QString& title, const QString& text) override
    {
        progressShown.append(shownProgress() != nullptr);
        ScriptedPrompts::information(title, text);
        if (!whileBoxOpen)
            return;
        QMessageBox box(QMessageBox::Information, title, text);
        QTimer::singleShot(0, &box, [this, &box] {
            std::exchange(whileBoxOpen, nullptr)();
            box.accept();
        });
        box.exec();
    }
};

// Notes the state a switch shows each time it is painted.
class PaintedStates : public QObject
{
public:
    explicit PaintedStates(Switch* watched)
        : watched(watched)
    {
        watched->installEventFilter(this);
    }

    QList<int> states;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object == watched && event->type() == QEvent::Paint)
            states.append(watched->currentIndex());
        return false;
    }

private:
    Switch* watched;
};

// The output's safe state changed as its editor would change it.
inline void flipSafeStateOf(SystemModel& model, const IoResource::Ptr_t& dout)
{
    AbstractConfig config;
    dout->exportConfig(config);
    config.dout.save = config.dout.save ? 0 : 1;
    dout->importConfig(config);
    model.resourceUpdated({dout->id()});
}

inline IoResource::Ptr_t firstDoutOf(const SystemModel& model)
{
    for (const IoResource::Ptr_t& r : model.resources())
        if (r->kind() == ResourceKind::Dout)
            return r;
    return {};
}

// The Device menu's action with `text`, found in the menu bar as the user sees it.
inline QAction* deviceMenuActionOf(TavConfigurator* window, const QString& text)
{
    for (QAction* entry : window->menuBar()->actions()) {
        if (!entry->menu() || entry->menu()->title() != QStringLiteral("Устройство"))
            continue;
        for (QAction* action : entry->menu()->actions())
            if (action->text() == text)
                return action;
    }
    return nullptr;
}

// Another copy of the program, run by this test program as its own process: the real window over
// the settings of the test that starts it, as the program's entry builds it (termination signals
// end it through its close). It finds the one controller its ports hold, reads it and writes its
// configuration back ("write"), also closing once the write has answered ("write-close") or
// showing its answers in real boxes too ("write-box"), or starts monitoring ("monitor"), also
// stopping it ("monitor-stop"), or editing an output once it runs, saying "edited", and choosing
// File > New or File > Open of a file it saved when a line comes on its input ("monitor-new",
// "monitor-open"); then it runs until it is closed, killed or signalled. It prints every message
// and question it shows, and whether a wait still showed its dialog or cursor at a question.
namespace SecondCopy {

constexpr const char* Switch = "--second-copy";

class EchoingPrompts : public ScriptedPrompts
{
public:
    // The save question's "Не сохранять": the copy's model is the controller's. An operation
    // whose debt the settings cannot keep goes on.
    int question(const QString&, const QString& text, const QStringList& buttons, int,
                 int) override
    {
        if (shownProgress() || QApplication::overrideCursor())
            say("asked under a wait's dialog or cursor");
        say("question: " + QString(text).replace('\n', QStringLiteral("\\n")));
        const QStringList goesOn{"Записать", "Записать изменения", "Начать отладку",
                                 "Отправить команду"};
        return goesOn.contains(buttons.first()) ? 0 : DiscardChanges;
    }
    void information(const QString& title, const QString& text) override
    {
        echo(title, text);
        if (inBoxes)
            QtPrompts().information(title, text);
    }
    void warning(const QString& title, const QString& text) override { echo(title, text); }
    bool inBoxes = false;

private:
    static void echo(const QString&, const QString& text)
    {
        say("message: " + QString(text).replace('\n', QStringLiteral("\\n")));
    }

public:
    static void say(const QString& line)
    {
        std::fputs(qPrintable(line + '\n'), stdout);
        std::fflush(stdout);
    }
};

inline int exec(int argc, char** argv)
{
    ProgramStart::catchTerminationSignals();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName("Tav Configurator");
    const QString action = QString::fromLatin1(argv[2]);
    EchoingPrompts prompts;
    prompts.inBoxes = action == "write-box";
    const std::unique_ptr<TavConfigurator> window(new TavConfigurator(false));
    window->show();
    ProgramStart::closeOnTerminationSignals(window.get());
    DevicePool* pool = window->devicePool();
    if (!QTest::qWaitFor([pool] { return !pool->systems().isEmpty(); }, WaitMs))
        return 2;
    pool->selectSystem(pool->systems().first()->id());
    QSignalSpy loaded(window->deviceConfigurator(), &DeviceConfigurator::loaded);
    deviceMenuActionOf(window.get(), "&Считать конфигурацию")->trigger();
    if (!QTest::qWaitFor([&loaded] { return !loaded.isEmpty(); }, WaitMs) || !loaded[0][0].toBool())
        return 3;
    QSignalSpy written(window->deviceConfigurator(), &DeviceConfigurator::written);
    deviceMenuActionOf(window.get(), action.startsWith("monitor") ? "&Начать отладку"
                                                                  : "&Записать конфигурацию")
        ->trigger();
    // The stop and the ways out come once the start's handshake is done.
    ControlAndMonitoring* monitoring = window->controlAndMonitoring();
    const auto monitors = [&] { return monitoring->isMonitoring() && pool->isKeepAliveEnabled(); };
    if (action.startsWith("monitor-") && !QTest::qWaitFor(monitors, 2 * WaitMs))
        return 4;
    if (action == "monitor-stop")
        deviceMenuActionOf(window.get(), "&Остановить отладку")->trigger();
    QTemporaryDir files;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    input.setEnabled(false);
    if (action == "monitor-new" || action == "monitor-open") {
        const QString file = files.filePath("other.tavc");
        window->files().storage().setFileName(file);
        if (!window->files().storage().save())
            return 5;
        // Due at the stop: no rewrite goes before the way out. No check drops the channel: the
        // way out's own frames meet the silence, and its wait lasts as long as they do.
        window->deviceConfigurator()->setReconfigurationDelay(600000);
        window->communication()->setKeepAliveInterval(600000);
        window->communication()->activate(window->communication()->activeChannel());
        const IoResource::Ptr_t dout = firstDoutOf(window->model());
        if (!dout)
            return 5;
        flipSafeStateOf(window->model(), dout);
        EchoingPrompts::say("edited");
        input.setEnabled(true);
        QObject::connect(&input, &QSocketNotifier::activated, window.get(), [&, file] {
            input.setEnabled(false);
            if (action == "monitor-open")
                window->files().open(file);
            else
                window->files().createNew();
        });
    }
    if (action == "write-close") {
        if (!QTest::qWaitFor([&written] { return !written.isEmpty(); }, 2 * WaitMs))
            return 4;
        window->close();
        return 0;
    }
    return app.exec();
}

} // namespace SecondCopy

// The fixture of the test classes, whose init, cleanup and initTestCase slots call its own.
class LiveWindowFixture
{
protected:
    IsolatedEnvironment env;
    SimulatedController* controller = nullptr;
    TavConfigurator* window = nullptr;

    void detectAndSelect()
    {
        Communication* communication = window->communication();
        DevicePool* pool = window->devicePool();
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        communication->setKeepAliveInterval(150);
        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        pool->selectSystem(pool->systems().first()->id());
        QVERIFY(pool->activeSystem());
    }

    QAction* deviceMenuAction(const QString& text) const
    {
        return deviceMenuActionOf(window, text);
    }

    QList<QAction*> deviceActions() const
    {
        QList<QAction*> actions;
        for (const char* text : {"&Начать отладку", "&Остановить отладку", "&Считать конфигурацию",
                                 "&Записать конфигурацию"})
            actions.append(deviceMenuAction(QString::fromUtf8(text)));
        return actions;
    }

    SysInfoWidget* badge() const
    {
        return qobject_cast<SysInfoWidget*>(
            window->toolBar()->widgetForAction(window->deviceOperation()->sysInfoAction()));
    }

    QSharedPointer<Dout> firstDout() const
    {
        return firstDoutOf(window->model()).dynamicCast<Dout>();
    }

    void flipSafeState(const QSharedPointer<Dout>& dout) { flipSafeStateOf(window->model(), dout); }

    // Clicks the resource's row in the resource tree; the editor viewer then shows its editor.
    Editor* selectResource(const NodeId_t& id) const
    {
        ResourceConfigurator* page = window->resourcesPage();
        const QModelIndex row = page->proxy()->mapFromSource(page->model()->indexes({id}).value(0));
        page->view()->selectionModel()->select(
            row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return page->editorViewer()->currentEditor();
    }

    // Monitoring started through the Device menu with the first output reported off and its
    // editor shown: the editor's switch, null when a step failed.
    Switch* monitoredOutputSwitch(ScriptedPrompts& prompts, ProtoEntry* coil, NodeId_t* id)
    {
        SystemModel held;
        if (!holdSystem(*controller, held, twoBoardModule(), 1))
            return nullptr;
        detectAndSelect();
        window->show();
        prompts.answers.enqueue(DiscardChanges);
        deviceMenuAction("&Начать отладку")->trigger();
        if (!QTest::qWaitFor([this] { return window->controlAndMonitoring()->isMonitoring(); },
                             WaitMs))
            return nullptr;
        const QSharedPointer<Dout> dout = firstDout();
        if (!dout)
            return nullptr;
        *coil = dout->role(ValueRole::DoutOverride);
        *id = dout->id();
        Editor* editor =
            controller->setEntryBytes(*coil, QByteArray(1, 0)) ? selectResource(*id) : nullptr;
        Switch* onOff = editor ? editor->findChild<Switch*>("onoffSwitch") : nullptr;
        return onOff && onOff->isVisible() ? onOff : nullptr;
    }

    QString liveValue(const NodeId_t& id) const
    {
        const QModelIndex row = window->resourcesPage()->model()->indexes({id}).value(0);
        return row.sibling(row.row(), 1).data(ResourceTree::ValueRole).toString();
    }

    // What the controller holds in its configuration area, as long as `image`.
    QByteArray heldImage(const QByteArray& image) const
    {
        ProtoEntry area = SettingsProvider::instance().iocfgBase();
        area.registers = quint32(image.size() + 1) / 2;
        return controller->entryBytes(area).left(image.size());
    }

    // One run of the program: a new window over the settings earlier runs left.
    void openWindow()
    {
        window = new TavConfigurator(false);
        MonitoredSystem system;
        QVERIFY(system.build(window->model()));
        window->controlAndMonitoring()->setTickInterval(100);
    }

    // Closes the window as its close button does, and presses the button `again` times more
    // while the close waits for the controllers: the window system holds those presses back
    // until the wait ends. True when the window closed.
    bool closeByItsButton(int again)
    {
        QTimer::singleShot(0, window, [this, again] {
            for (int i = 0; i < again; ++i)
                QWindowSystemInterface::handleCloseEvent<
                    QWindowSystemInterface::AsynchronousDelivery>(window->windowHandle());
        });
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            window->windowHandle());
        QCoreApplication::processEvents();
        return !window->isVisible();
    }

    // The control words the controller heard, up to a password clear sent now behind whatever
    // the window still has queued: what the window sends after the clear's answer comes too late
    // to count. False when the clear got no answer.
    bool controlUpToAClearSentNow(ConfigurationTraffic::Words* control)
    {
        bool heard = false;
        ProtoEntry command;
        ProtoEntry password;
        if (!ControlRequest::findRegisters(&command, &password))
            return false;
        window->communication()->sendRequest(ControlRequest::passwordClear(
            command, password, [&heard](const Request&) { heard = true; },
            Request::ControlPriority));
        if (!QTest::qWaitFor([&heard] { return heard; }, WaitMs))
            return false;
        *control = ConfigurationTraffic::of(controller->writes()).control;
        return true;
    }

    // The password clears the settings keep for a later run.
    static QStringList keptClears()
    {
        return QSettings().value(QStringLiteral("owedPasswordClears")).toStringList();
    }

    static QString keptWarning()
    {
        return QStringLiteral("Контроллеры, которые, возможно, остались разблокированными:\n"
                              "TAV-1020-10 SN - 0031337\n\n"
                              "Каждый из них будет заблокирован, когда программа найдёт его "
                              "снова, в том числе при следующем запуске.");
    }

    // The stored form of a debt of the held controller's type.
    static QString entryOf(quint32 serial)
    {
        return QStringLiteral("%1:%2").arg(serial).arg(0x0B0A140Au);
    }

    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }

    // Another copy of the program (SecondCopy) whose ports hold `port` alone.
    static void startCopy(QProcess& copy, const QString& action, const QString& port)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(PortEnumerator::ExtraPortsVariable, port);
        env.insert(PortEnumerator::SystemPortsVariable, "0");
        copy.setProcessEnvironment(env);
        copy.start(QCoreApplication::applicationFilePath(), {SecondCopy::Switch, action});
    }

    // A copy a failed check left running.
    static void endCopy(QProcess& copy)
    {
        if (copy.state() == QProcess::NotRunning)
            return;
        copy.kill();
        copy.waitForFinished();
    }

    static bool lateFrameArrived(const SimulatedController& controller)
    {
        const QList<SimulatedController::Served> served = controller.served();
        return std::any_of(served.cbegin(), served.cend(), [](const auto& frame) {
            return frame.fault == SimulatedController::Fault::Delay;
        });
    }

    // Another controller of the same make-up answers in the controller's place once one of the
    // window's frames has gone unanswered, as when the user moves the cable meanwhile.
    void replaceOnceAFrameIsUnanswered(QList<SimulatedController::BusDevice> bus)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            [this] {
                const QList<SimulatedController::Served> served = controller->served();
                return std::any_of(served.cbegin(), served.cend(), [](const auto& frame) {
                    return frame.fault == SimulatedController::Fault::NoReply;
                });
            }(),
            WaitMs);
        bus[0].serial = 4242;
        QVERIFY(controller->setBus(bus));
    }

    // The controller holds a module's system, found, selected and read into the window.
    void readHeldSystem()
    {
        SystemModel held;
        QVERIFY(holdSystem(*controller, held, twoBoardModule(), 1));
        detectAndSelect();
        QSignalSpy loaded(window->deviceConfigurator(), &DeviceConfigurator::loaded);
        window->deviceConfigurator()->read();
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WaitMs);
        QVERIFY(loaded[0][0].toBool());
        controller->clearLog();
    }

    // Every frame of the password clear that ends a write of the window's configuration refused.
    SimulatedController::Misbehaviour clearRefused() const
    {
        return {SimulatedController::Fault::Exception, SimulatedController::Forever, 0, 16,
                chunksOf(composed(window->model())) + 2};
    }

    // The held system read, and written back through the Device menu to a controller that
    // refuses its clear: it owes it.
    void writeWithItsClearRefused()
    {
        readHeldSystem();
        controller->misbehave(clearRefused());
        window->show();
        QSignalSpy written(window->deviceConfigurator(), &DeviceConfigurator::written);
        deviceMenuAction("&Записать конфигурацию")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 2 * WaitMs);
    }

    // Function-16 frames that carry `image`.
    static int chunksOf(const QByteArray& image)
    {
        return (image.size() / 2 + ModbusDevice::MaxWriteItems - 1) / ModbusDevice::MaxWriteItems;
    }

    // The window's configuration with its module's block cut off half-way, as a rewrite cut
    // between two chunks leaves it.
    QByteArray damagedImage() const
    {
        QByteArray image = composed(window->model());
        image.replace(image.size() / 2, image.size() / 4, QByteArray(image.size() / 4, '\xff'));
        return image;
    }

    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        QVERIFY(MonitoredSystem::module());
    }

    void init()
    {
        // Debts are kept as they arise: each test starts as a program that owes nothing.
        QSettings().remove(QStringLiteral("owedPasswordClears"));
        qputenv(PortEnumerator::ExtraPortsVariable, "");
        controller = new SimulatedController;
        QVERIFY(controller->isRunning());
        QVERIFY(controller->setBus(MonitoredSystem::bus()));
        openWindow();
    }

    void cleanup()
    {
        delete window;
        delete controller;
        qunsetenv(PortEnumerator::ExtraPortsVariable);
    }
};
