// The main window's wiring of the device side, end to end against a simulated controller on a
// pseudo-terminal that the window's own port scan finds through TAVCFG_EXTRA_PORTS: the user's
// whole online session through the Device menu (detect, read, edit and write, monitor and control,
// the cable pulled), monitoring stops with its handshake even with a read on the wire, and
// keep-alive holds of the configurator and the monitoring loop both reach the pool.
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
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include "scriptedprompts.h"
#include "support/isolatedenvironment.h"
#include "support/ordinaryuser.h"

#include <csignal>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QtTest>

#include <algorithm>
#include <qpa/qwindowsysteminterface.h>

namespace {

constexpr int WaitMs = 5000;
// A frame answered this late holds the program under the password long enough to end it there,
// and within every time-out of the frames it is used on.
constexpr int LateMs = 900;
// The save question's "Не сохранять".
constexpr int DiscardChanges = 1;

using ResourceTree = ResourceConfiguration::Model;

// Where a write or a rewrite goes wrong on the line. Replaced: its first chunk unanswered, and
// another controller answers from then on.
enum Cut { NoCut, ClearLost, LastChunkRefused, Replaced };

// Who pays a clear owed when the window closes.
enum PaidAtTheClose { NotPaid, SentByTheClose, OnItsWay };

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

// How the settings refuse to keep the debts.
enum Spoilt { Writable, FileIsAFolder, FileIsADanglingLink, LockIsAFolder, DiskFull };

// The settings file and the lock beside it as each case leaves them; undone by `unspoil`.
bool spoil(Spoilt how, const QString& file)
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
    }
    return false;
}

void unspoil(Spoilt how, const QString& file)
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
    }
}

// What the user is asked before a password goes out that the settings `file` cannot keep as owed.
QString unkeptAheadQuestion(const QString& file)
{
    return "Программа не может отметить в своих настройках (файл " + QDir::toNativeSeparators(file)
           + "), что контроллер SN - 0031337 будет разблокирован на время этой операции. Если "
             "программа завершится аварийно во время операции, контроллер может остаться "
             "разблокированным, и при следующем запуске программа об этом не узнает.\n\n"
             "Продолжить?";
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
        bool shown = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown = shown || (qobject_cast<QProgressDialog*>(w) && w->isVisible());
        progressShown.append(shown);
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

// The Device menu's action with `text`, found in the menu bar as the user sees it.
QAction* deviceMenuActionOf(TavConfigurator* window, const QString& text)
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
// showing its answers in real boxes too ("write-box"), or starts monitoring ("monitor"); then it
// runs until it is closed, killed or signalled. It prints every message and question it shows.
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
        say("question: " + QString(text).replace('\n', QStringLiteral("\\n")));
        return buttons.first() == QStringLiteral("Продолжить") ? 0 : DiscardChanges;
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

int exec(int argc, char** argv)
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
    deviceMenuActionOf(window.get(), action == "monitor" ? "&Начать отладку"
                                                         : "&Записать конфигурацию")
        ->trigger();
    if (action == "write-close") {
        if (!QTest::qWaitFor([&written] { return !written.isEmpty(); }, 2 * WaitMs))
            return 4;
        window->close();
        return 0;
    }
    return app.exec();
}

} // namespace SecondCopy

} // namespace

class TavConfiguratorLiveTest : public QObject
{
    Q_OBJECT

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
        for (const IoResource::Ptr_t& r : window->model().resources())
            if (r->kind() == ResourceKind::Dout)
                return r.dynamicCast<Dout>();
        return {};
    }

    // The output's safe state changed as its editor would change it.
    void flipSafeState(const QSharedPointer<Dout>& dout)
    {
        AbstractConfig config;
        dout->exportConfig(config);
        config.dout.save = config.dout.save ? 0 : 1;
        dout->importConfig(config);
        window->model().resourceUpdated({dout->id()});
    }

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
                              "SN - 0031337\n\n"
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

private slots:
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
    void handshakeLeavesNoControllerUnlocked_data()
    {
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("close");
        // Monitoring asked for, its first read not yet answered.
        QTest::addColumn<bool>("reading");
        // The command unanswered, and another controller answers from then on.
        QTest::addColumn<bool>("replaced");
        QTest::newRow("monitoring started, clear lost") << true << false << false << false;
        QTest::newRow("monitoring stopped, clear lost") << false << false << false << false;
        QTest::newRow("window closed while monitoring starts") << true << true << false << false;
        QTest::newRow("window closed while monitoring stops") << false << true << false << false;
        // The read answered after the close began starts no handshake.
        QTest::newRow("window closed while monitoring's first read is on the wire")
            << true << true << true << false;
        QTest::newRow("monitoring started, command unanswered, then another controller answers")
            << true << false << false << true;
        QTest::newRow("monitoring stopped, command unanswered, then another controller answers")
            << false << false << false << true;
    }

    void handshakeLeavesNoControllerUnlocked()
    {
        QFETCH(bool, start);
        QFETCH(bool, close);
        QFETCH(bool, reading);
        QFETCH(bool, replaced);
        WatchingPrompts prompts;
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
        const QString unlocked = "Сброс пароля контроллера SN - 0001001 не подтверждён.\n"
                                 "Контроллер, возможно, остался разблокированным.\n";
        if (replaced) {
            controller->misbehave({SimulatedController::Fault::NoReply, 1, 0, 16, 1});
            window->onMonitoringMode(start);
            replaceOnceAFrameIsUnanswered(MonitoredSystem::bus());
            QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
            QCOMPARE(prompts.messages[0],
                     QString(start ? "Контроллер не принял команду начала отладки."
                                   : "Контроллер не принял команду остановки отладки.")
                         + "\n\n" + unlocked + "Он будет заблокирован, когда будет найден снова.");
            QCOMPARE(controller->sysEntry("password"), QByteArray("\xdd\x5b", 2));
            return;
        }
        // The password and the command are taken; every frame of the clear is refused.
        controller->misbehave({SimulatedController::Fault::Exception, ControlRequest::ClearTries,
                               0, 16, 2});
        window->onMonitoringMode(start);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
        QCOMPARE(prompts.messages[0],
                 unlocked + "Программа повторит сброс пароля в ближайшие секунды.");
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
        const QString unlocked = "Контроллер, возможно, остался разблокированным.\n"
                                 "Программа повторит сброс пароля в ближайшие секунды.";
        const QString clearLost =
            "Сброс пароля контроллера SN - 0031337 не подтверждён.\n" + unlocked;
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
        const QString away = QString(unlocked).replace(
            "Программа повторит сброс пароля в ближайшие секунды.",
            "Он будет заблокирован, когда будет найден снова.");
        QTest::newRow("write, a chunk unanswered, then another controller answers")
            << false << int(Replaced) << "Не могу записать конфигурацию\nв контроллер\n\n" + away
            << -1 << QString();
        QTest::newRow("rewrite, its block unanswered, then another controller answers")
            << true << int(Replaced)
            << "Сброс пароля контроллера SN - 0031337 не подтверждён.\n" + away + "\n\n" + cutShort
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
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
        QCOMPARE(prompts.messages[0], answer);
        if (cut == Replaced)
            QCOMPARE(keptClears(), QStringList{entryOf(31337)});
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
    // cause and the whole write as the remedy; a read that fails on the line does not.
    void answersOfARead_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("answer");
        QTest::newRow("image damaged")
            << true
            << "Ошибка загрузки конфигурации\nиз контроллера\n\n"
               "Конфигурация в контроллере неполна или повреждена.\n"
               "Запись всей конфигурации в контроллер (Устройство > Записать конфигурацию) "
               "исправит это.";
        QTest::newRow("configuration area unanswered")
            << false << "Ошибка загрузки конфигурации\nиз контроллера";
    }

    void answersOfARead()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, answer);
        ScriptedPrompts prompts;
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
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 2 * WaitMs);
        QCOMPARE(prompts.messages[0], answer);
    }

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
            // The close's clear and one sent after it: the given-up write's command and clear
            // never go.
            ConfigurationTraffic::Words control;
            QVERIFY(controlUpToAClearSentNow(&control));
            QCOMPARE(control.mid(1), (ConfigurationTraffic::Words{
                                         {ConfigurationTraffic::PasswordRegister, {0}},
                                         {ConfigurationTraffic::PasswordRegister, {0}}}));
        }
    }

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
            QCOMPARE(ConfigurationTraffic::of(controller->writes().mid(frames)).control,
                     (ConfigurationTraffic::Words{{ConfigurationTraffic::PasswordRegister, {0}}}));
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
        // Told before the password went out, when the settings could not keep its debt.
        const QString asked =
            "question: " + unkeptAheadQuestion(file).replace('\n', QStringLiteral("\\n"));
        QCOMPARE(QString::fromUtf8(said + copy.readAllStandardOutput()).split('\n').count(asked),
                 spoilt == Writable ? 0 : 1);
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
        if (killed)
            QCOMPARE(ConfigurationTraffic::of(controller->writes()).control,
                     (ConfigurationTraffic::Words{{ConfigurationTraffic::PasswordRegister, {0}}}));
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
    // rest. Kept entries that no controller can answer to are dropped at the start. A write whose
    // debt the settings cannot keep ahead asks first, once, and stopped sends nothing.
    void closeTellsWhatItKeeps_data()
    {
        QTest::addColumn<int>("spoilt");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<int>("keptBefore");
        QTest::newRow("settings file a folder") << int(FileIsAFolder) << true << 0;
        QTest::newRow("settings file a dangling link") << int(FileIsADanglingLink) << true << 0;
        QTest::newRow("lock beside the settings a folder") << int(LockIsAFolder) << true << 0;
        QTest::newRow("disk full") << int(DiskFull) << true << 0;
        QTest::newRow("settings file a folder, write stopped") << int(FileIsAFolder) << false << 0;
        QTest::newRow("a thousand kept from earlier runs") << int(Writable) << true << 1000;
    }

    void closeTellsWhatItKeeps()
    {
        QFETCH(int, spoilt);
        QFETCH(bool, goOn);
        QFETCH(int, keptBefore);
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
        QVERIFY(spoil(Spoilt(spoilt), file));
        ScriptedPrompts prompts;
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
        prompts.messages.clear();
        prompts.answers.enqueue(DiscardChanges);
        QVERIFY(window->close());
        if (!goOn) {
            QVERIFY(prompts.messages.isEmpty());
            return;
        }

        const QString listed = keptBefore ? "SN - 0000001\nSN - 0000002\nSN - 0000003\n"
                                            "SN - 0000004\nSN - 0000005\nSN - 0000006\n"
                                            "SN - 0000007\nSN - 0000008\nSN - 0000009\n"
                                            "SN - 0000010\nЕщё контроллеров: 991"
                                          : "SN - 0031337";
        const QString told =
            spoilt == Writable
                ? QString("Каждый из них будет заблокирован, когда программа найдёт его "
                          "снова, в том числе при следующем запуске.")
                : "Сохранить это в настройках программы не удалось (файл "
                      + QDir::toNativeSeparators(file)
                      + "), и при следующем запуске программа их не заблокирует. Чтобы "
                        "заблокировать контроллер, найдите его в программе и запишите в "
                        "него конфигурацию снова (Устройство > Записать конфигурацию).";
        QCOMPARE(prompts.messages,
                 QStringList{"Контроллеры, которые, возможно, остались разблокированными:\n"
                             + listed + "\n\n" + told});
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
