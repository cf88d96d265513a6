// The main window as the user meets it: pages and tab bar following the system, the title's
// unsaved mark, undo through the real pages, the menus and the tool bar, closing with unsaved
// changes, the geometry kept between runs, and the window's own objects going while the system
// is still there.
#include "resourceconfigurator/resourceconfigurator.h"
#include "communication/devicepool.h"
#include "hostilefiles.h"
#include "model/ain.h"
#include "model/devicetype.h"
#include "onlinefixture.h"
#include "resourceconfigurator/editor.h"
#include "resourceconfigurator/editorfixture.h"
#include "resourceconfigurator/editorserialport.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourcefixture.h"
#include "scriptedprompts.h"
#include "shell/configurationstorage.h"
#include "shell/debugoperations.h"
#include "shell/deviceoperation.h"
#include "shell/emptyscreen.h"
#include "shell/helpoperations.h"
#include "shell/optionsoperation.h"
#include "shell/portscans.h"
#include "shell/programstart.h"
#include "shell/tavconfigurator.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "systemconfigurator/systemfixture.h"
#include "systemconfigurator/informationstyled.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systemconfigurator/treerole.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "widgets/startup.h"
#include "widgets/tabbarnowheel.h"
#include "upgrade/upgrademanager.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <csignal>

using ModelFixture::handleOf;
using ModelFixture::kTav1020;
using ResourceFixture::ofKind;

namespace {

// Counts the system's devices as it goes, as a page or a service that reads the model would.
class ModelReader : public QObject
{
public:
    ModelReader(const SystemModel& model, int* seen, QObject* parent)
        : QObject(parent)
        , model(model)
        , seen(seen)
    {
    }
    ~ModelReader() override { *seen = model.devices().size(); }

private:
    const SystemModel& model;
    int* seen;
};

// What the model held, and what the title said, when an action first asked the user something.
class SeeingPrompts : public ScriptedPrompts
{
public:
    explicit SeeingPrompts(TavConfigurator* window = nullptr)
        : window(window)
    {
    }
    TavConfigurator* window;
    QByteArray seen;
    QString seenTitle;

    void note()
    {
        if (window && seen.isEmpty()) {
            seen = ResourceFixture::json(window->model());
            seenTitle = window->windowTitle();
        }
    }
    int question(const QString& title, const QString& text, const QStringList& buttons,
                 int defaultButton, int escapeButton) override
    {
        note();
        return ScriptedPrompts::question(title, text, buttons, defaultButton, escapeButton);
    }
    QString saveFileName(const QString& caption, const QString& proposed, const QString& filter,
                         const QString& suffix) override
    {
        note();
        return ScriptedPrompts::saveFileName(caption, proposed, filter, suffix);
    }
    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& suffix) override
    {
        note();
        return ScriptedPrompts::openFileName(caption, directory, filter, suffix);
    }
};

// The session ends while the first real box is open, and each box open after its signal is
// answered with the button `answers` names first, or closed; a button clicked lets the next name
// ("|" between them) answer the boxes after it. Notes the title of each box shown, and "left open"
// for each still open when the window has gone.
class SessionEnd : public QObject
{
public:
    SessionEnd(QWidget* window, const QString& answers)
        : window(window)
        , answers(answers.split('|'))
    {
        qApp->installEventFilter(this);
    }
    QStringList seen;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* box = qobject_cast<QDialog*>(object);
        if (box && event->type() == QEvent::Show) {
            seen.append(box->windowTitle());
            QTimer::singleShot(0, box, [this, box, first = seen.size() == 1] {
                if (first && (::raise(SIGTERM) != 0 || !QTest::qWaitFor(&Prompts::isProgramEnding)))
                    qWarning("The signal was not taken");
                const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
                const QString answer = answers.first();
                auto chosen =
                    std::find_if(buttons.cbegin(), buttons.cend(),
                                 [&answer](QPushButton* b) { return b->text() == answer; });
                if (!box->isVisible())
                    return;
                if (chosen != buttons.cend()) {
                    if (answers.size() > 1)
                        answers.removeFirst();
                    (*chosen)->click();
                } else {
                    seen.last() += " without " + answer;
                    box->reject();
                }
            });
        } else if (object == window && event->type() == QEvent::Hide) {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* open = qobject_cast<QDialog*>(widget);
                if (open && open->isVisible()) {
                    seen.append("left open");
                    QTimer::singleShot(0, open, &QDialog::reject);
                }
            }
        }
        return false;
    }

private:
    QWidget* window;
    QStringList answers;
};

// How the user sets an action off while a box still holds typed text.
enum class Act {
    Save, SaveAs, ExportCsv, ExportMap, NewKey, NewButton, Open, OpenNamed, Close, Read, Write,
    StartMonitoring, Language, Undo, Redo, Replaced, SaveButton, SaveMenu, Unchanged, GiveUp,
    ReadEnded, Gone,
    // Nothing typed: the wheel over the box without the focus, with it, the Up key.
    WheelOver, WheelIn, StepUp
};

// The catalogue of the brand the settings choose, for one row; the first brand's again after it.
struct Brand
{
    IsolatedEnvironment& env;
    const bool other;
    Brand(IsolatedEnvironment& env, const QString& vendor)
        : env(env)
        , other(!vendor.isEmpty())
    {
        env.setVendorChoice(other ? QStringLiteral("vio4") : QString());
        SettingsProvider::instance(other ? vendor : QStringLiteral("drovanix"));
    }
    ~Brand()
    {
        env.setVendorChoice(QString());
        SettingsProvider::instance(QStringLiteral("drovanix"));
    }

    // The same model in the brand's catalogue: the brands' device kinds differ.
    static DeviceType_t type(DeviceType_t firstBrands, int deviceClass)
    {
        const QList<DeviceType_t>& types = SettingsProvider::instance().types(deviceClass);
        return types.isEmpty() ? 0
                               : (firstBrands & 0x00FFFFFFu)
                                     | (DeviceType_t(deviceKind(types.first())) << 24);
    }
};

} // namespace

class TavConfiguratorTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    // File > New answered, then one controller added through the system page.
    static void newSystemWithController(TavConfigurator& window)
    {
        window.files().createNew();
        window.systemPage()->onAdd({handleOf(kTav1020, 0)});
    }

    // The system page has the port boxes and the group's name field.
    static bool onResourcePage(const QString& box)
    {
        return !box.isEmpty() && box != "spinBoxSafeMode" && box != "spinBoxAddress"
               && box != "spinBoxResponseDelay" && box != "comboBoxBaudRate";
    }

    // Every record the number boxes of the entry rows show holds `value`.
    static void storeForBoxes(SystemModel& system, double value, const Device::Ptr_t& m1,
                              const Device::Ptr_t& m2)
    {
        for (const IoResource::Ptr_t& r : ofKind(system, m1, ResourceKind::Din)
                                              + ofKind(system, m1, ResourceKind::Aout)
                                              + ofKind(system, m2, ResourceKind::Ain)
                                              + system.serialPorts()) {
            EditorFixture::setConfig(r, [value](AbstractConfig& c) {
                c.din.filter = quint16(value);
                c.aout.save = quint16(value);
                c.ain.scMin = float(value);
                c.port.safeTime = quint32(value);
            });
        }
    }

    static QWidget* currentPage(TavConfigurator& window)
    {
        return window.pageStack()->currentWidget();
    }

private slots:
    // The program's widgets, the brand with the file tool bar and the serial ports shown.
    void initTestCase()
    {
        initWidgets();
        ModelFixture::loadCatalogueAs(QStringLiteral("Tav Configurator"));
        qputenv("TAVCFG_EXTRA_PORTS", "");
    }

    // The program's translations are beside the window: each starts in Russian, as chosen before.
    void init()
    {
        QSettings().clear();
        QSettings().setValue(QStringLiteral("GuiLanguage"), QStringLiteral("ru"));
    }

    void pagesFollowTheSystem()
    {
        TavConfigurator window(false);
        QCOMPARE(currentPage(window), window.page(TavConfigurator::EmptyPage));
        QCOMPARE(currentPage(window), static_cast<QWidget*>(window.emptyScreen()));
        QVERIFY(window.tabs().tabBar()->isHidden());

        window.files().createNew();
        QCOMPARE(currentPage(window), window.page(TavConfigurator::SystemPage));
        QVERIFY(window.systemPage()->isAncestorOf(window.tabs().tabBar()));
        QCOMPARE(window.windowTitle(), QString("untitled - Tav Configurator"));

        window.systemPage()->onAdd({handleOf(kTav1020, 0)});
        QVERIFY(window.tabs().isSystemTabCurrent());
        QVERIFY(window.tabs().tabBar()->isTabEnabled(0) && window.tabs().tabBar()->isTabEnabled(1));

        window.tabs().goEditResources();
        QCOMPARE(currentPage(window), window.page(TavConfigurator::ResourcesPage));
        QVERIFY(window.resourcesPage()->isAncestorOf(window.tabs().tabBar()));

        // Undoing the only device withdraws saving and the resources tab.
        window.transactions().undoActivated();
        QVERIFY(window.model().devices().isEmpty());
        QVERIFY(!window.files().action(FileOperations::Save)->isEnabled());
        QVERIFY(!window.files().hasUnsavedChanges());

        // A resource change with no ids offers no saving but shows the resources page.
        window.onResourcesChanged({});
        QVERIFY(!window.files().hasUnsavedChanges());
        QVERIFY(window.tabs().isResourcesTabCurrent() || !window.tabs().tabBar()->isTabEnabled(0));
    }

    void titleCarriesTheUnsavedMark()
    {
        ScriptedPrompts prompts;
        TavConfigurator window(false);
        newSystemWithController(window);
        QCOMPARE(window.windowTitle(), QString("*untitled - Tav Configurator"));

        const QString path = env.path() + "/plant.tavc";
        prompts.fileNames.enqueue(path);
        QVERIFY(window.files().saveAs());
        QCOMPARE(window.windowTitle(), QString("plant.tavc - Tav Configurator"));
        QCOMPARE(window.transactions().stack().count(), 0);

        // Opened again in a second window: the system page shows it, nothing is unsaved.
        TavConfigurator second(false);
        second.files().open(path);
        QCOMPARE(second.windowTitle(), QString("plant.tavc - Tav Configurator"));
        QCOMPARE(second.model().devices().size(), 1);
        QCOMPARE(currentPage(second), second.page(TavConfigurator::SystemPage));
        QVERIFY(prompts.messages.isEmpty());
    }

    // File > Open of a named pipe or a device: the window answers at once, says what was picked,
    // and keeps the system it shows.
    void openingAPipeOrADeviceKeepsTheWindow_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::newRow("named pipe") << true;
        QTest::newRow("/dev/zero") << false;
    }

    void openingAPipeOrADeviceKeepsTheWindow()
    {
        QFETCH(bool, pipe);
        ScriptedPrompts prompts;
        TavConfigurator window(false);
        newSystemWithController(window);
        const QString picked = pipe ? env.path() + "/pipe.tavc" : QString("/dev/zero");
        if (pipe)
            QVERIFY(HostileFiles::makeFifo(picked));
        QAction* open = nullptr;
        for (QAction* menu : window.menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (menu->text() == "Файл" && item->text() == "&Открыть")
                    open = item;
            }
        }
        QVERIFY(open);

        prompts.answers << 1;  // "Не сохранять"
        prompts.fileNames << picked;
        {
            const HostileFiles::PipeWatchdog watchdog(picked, std::chrono::seconds(10));
            open->trigger();
            QVERIFY2(!watchdog.fired(), "the window waited on a named pipe");
        }
        QCOMPARE(prompts.messages, QStringList({"Не могу открыть файл, это не обычный файл\n" + picked}));
        QCOMPARE(window.windowTitle(), QString("*untitled - Tav Configurator"));
        QCOMPARE(window.model().devices().size(), 1);
        QCOMPARE(currentPage(window), window.page(TavConfigurator::SystemPage));
    }

    void undoKeepsFifteenAndANewEditDropsRedo()
    {
        TavConfigurator window(false);
        window.files().createNew();
        for (int i = 0; i < 16; ++i)
            window.systemPage()->onAdd({handleOf(kTav1020, i)});
        QCOMPARE(window.model().devices().size(), 16);
        QCOMPARE(window.transactions().stack().count(), TransactionEngine::kUndoLimit);

        for (int i = 0; i < TransactionEngine::kUndoLimit; ++i)
            window.transactions().undoActivated();
        QCOMPARE(window.model().devices().size(), 1);
        QVERIFY(!window.transactions().undoAction()->isEnabled());

        window.transactions().redoActivated();
        QCOMPARE(window.model().devices().size(), 2);
        QVERIFY(window.transactions().redoAction()->isEnabled());
        window.systemPage()->onAdd({handleOf(kTav1020, 2)});
        QVERIFY(!window.transactions().redoAction()->isEnabled());
        QCOMPARE(window.model().devices().size(), 3);
    }

    void menusAndToolBarInGroupOrder()
    {
        TavConfigurator window(false);
        QStringList titles;
        for (QAction* menu : window.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"Файл", "Правка", "Устройство", "Опции", "Помощь"}));
        for (QAction* menu : window.menuBar()->actions())
            QVERIFY(menu->menu()->actions().constLast()->isSeparator());

        QList<QAction*> expected = window.files().toolBarActions();
        expected += window.transactions().toolBarActions();
        expected += window.deviceOperation()->toolBarActions();
        expected += window.options()->toolBarActions();
        expected += window.help().toolBarActions();
        QCOMPARE(window.toolBar()->actions(), expected);
        QCOMPARE(window.toolBar()->objectName(), QString("ToolBar"));
        QVERIFY(!window.toolBar()->isMovable());
        QCOMPARE(window.objectName(), QString("TavConfigurator"));
        QCOMPARE(window.minimumSize(), QSize(970, 600));
    }

    void engineeringMenuOnlyWithDev()
    {
        TavConfigurator plain(false);
        QVERIFY(!plain.engineering());
        QCOMPARE(plain.menuBar()->actions().size(), 5);

        TavConfigurator window(true);
        QVERIFY(window.engineering());
        QCOMPARE(window.menuBar()->actions().size(), 6);
        QCOMPARE(window.menuBar()->actions().constLast()->text(), QString("Инженерный режим!"));
        // The offline scan switch reaches the port scans while no system is selected.
        window.engineering()->action(DebugOperations::ScanSystems)->trigger();
        QVERIFY(window.portScans()->isOfflineScanRunning());
        window.engineering()->action(DebugOperations::ScanSystems)->trigger();
        QVERIFY(!window.portScans()->isOfflineScanRunning());
    }

    // Options > firmware update runs the dialog tied to the pool only while it is open.
    void firmwareUpgradeDialogFromTheOptionsMenu()
    {
        ScriptedPrompts prompts;
        TavConfigurator window(true);
        window.engineering()->action(DebugOperations::EndlessUpgrade)->trigger();
        QVERIFY(window.isPerpetualUpgrade());
        bool keepAliveHeld = false;
        prompts.whileOpen = [&](QDialog* dialog) {
            auto* upgrade = qobject_cast<UpgradeFirmwareDialog*>(dialog);
            QVERIFY(upgrade && upgrade->manager());
            emit upgrade->manager()->keepAliveControl(false);
            keepAliveHeld = !window.devicePool()->isKeepAliveEnabled();
            emit upgrade->manager()->keepAliveControl(true);
        };
        window.options()->firmwareAction()->trigger();
        QCOMPARE(prompts.shownDialogs, QStringList{UpgradeFirmwareDialog::titleText(true)});
        QVERIFY(prompts.shownDialogs.constFirst().endsWith("[Perpetual]"));
        QVERIFY(keepAliveHeld);
        QVERIFY(window.devicePool()->isKeepAliveEnabled());
    }

    void closingAsksAboutUnsavedChanges()
    {
        ScriptedPrompts prompts;
        {
            TavConfigurator window(false);
            window.show();
            newSystemWithController(window);
            prompts.answers.enqueue(2); // "Отмена"
            QVERIFY(!window.close());
            QVERIFY(window.isVisible());
            QCOMPARE(prompts.questions.size(), 1);
            QCOMPARE(prompts.questions[0].buttons[2], QString("Отмена"));
            QVERIFY(!QSettings().contains("geometry"));
            QVERIFY(!QSettings().contains("windowState"));

            prompts.answers.enqueue(1); // "Не сохранять"
            window.resize(1111, 700);
            QVERIFY(window.close());
            QVERIFY(QSettings().contains("geometry"));
            QVERIFY(QSettings().contains("windowState"));
        }
        // The next window comes back with the size the last one closed with.
        TavConfigurator next(false);
        QCOMPARE(next.size(), QSize(1111, 700));
        next.show();
        QVERIFY(next.close());
        QCOMPARE(prompts.questions.size(), 1 + 1);
    }

    // A termination signal while a box is open: the box closes without a choice, so what opened
    // it goes no further, then the window closes once, with one save question, and no box is left.
    // A save that fails, or a save dialog cancelled, brings the question back: the edits are in
    // no file until the user lets them go.
    void terminationSignalClosesTheBoxesThenTheWindowOnce_data()
    {
        QTest::addColumn<QString>("opener");
        // What the user answers the boxes open after the signal.
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("boxes");
        // Where the window was saved before: "" a writable folder, "read-only" a folder and file
        // that refuse even an administrator, "none" nowhere, so "Сохранить" opens the save dialog.
        QTest::addColumn<QString>("saved");
        const QString question = "Tav Configurator";
        const QString discard = "Не сохранять";
        QTest::newRow("File > New's save question")
            << "new" << discard << QStringList{question, question} << QString();
        // Asked after the signal, the close's question offers no staying.
        QTest::newRow("File > New's, the close's answered Отмена")
            << "new" << "Отмена" << QStringList{question, question + " without Отмена"}
            << QString();
        QTest::newRow("File > Open's dialog")
            << "open" << discard << QStringList{"Открыть файл", question} << QString();
        QTest::newRow("Help > About")
            << "about" << discard << QStringList{"О программе", question} << QString();
        QTest::newRow("the close's own, answered Отмена")
            << "close" << "Отмена" << QStringList{question} << QString();
        // The signal does not end the close's own question: the user's answer is what happens.
        QTest::newRow("the close's own, answered Сохранить")
            << "close" << "Сохранить" << QStringList{question} << QString();
        // The warning of the failed save, closed, then the question again.
        QTest::newRow("the close's own, Сохранить into a read-only folder, then Не сохранять")
            << "close" << "Сохранить|Не сохранять"
            << QStringList{question, question + " without Не сохранять", question} << "read-only";
        QTest::newRow("the close's own, Сохранить, its dialog cancelled, then Не сохранять")
            << "close" << "Сохранить|Не сохранять"
            << QStringList{question, "Сохранить файл without Не сохранять", question} << "none";
    }

    void terminationSignalClosesTheBoxesThenTheWindowOnce()
    {
        QFETCH(QString, opener);
        QFETCH(QString, answer);
        QFETCH(QStringList, boxes);
        QFETCH(QString, saved);
        ProgramStart::catchTerminationSignals();
        TavConfigurator window(false);
        window.show();
        ProgramStart::closeOnTerminationSignals(&window);
        newSystemWithController(window);
        // Saved under a name and changed again: "Сохранить" writes without a dialog.
        const QString folder = env.path() + (saved == "read-only" ? "/stick" : "");
        const QString path = folder + "/ending.tavc";
        QVERIFY(QDir().mkpath(folder));
        if (saved != "none") {
            ScriptedPrompts named;
            named.fileNames << path;
            QVERIFY(window.files().saveAs());
        }
        // As a write-protected stick: neither a new file beside the old one nor the old one.
        const auto writable = qScopeGuard([&] {
            HostileFiles::setImmutable(folder, false);
            HostileFiles::setImmutable(path, false);
        });
        QVERIFY(saved != "read-only"
                || (HostileFiles::setImmutable(folder, true)
                    && HostileFiles::setImmutable(path, true)));
        window.systemPage()->onAdd({handleOf(kTav1020, 1)});
        SessionEnd session(&window, answer);
        if (opener == "close")
            window.close();
        else
            (opener == "about" ? window.help().aboutAction()
                               : window.files().action(opener == "new" ? FileOperations::New
                                                                       : FileOperations::Open))
                ->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
        QCOMPARE(session.seen, boxes);
        QCOMPARE(window.model().devices().size(), 2);
        if (saved == "none")
            return;
        SystemModel held;
        ConfigurationStorage storage(&held);
        QVERIFY(storage.load(path));
        QCOMPARE(held.devices().size(), answer == "Сохранить" ? 2 : 1);
    }

    // A value typed into a box without Return, then any action that reads, saves, exports,
    // replaces or ends the configuration, set off as the user would: the typed value is an edit
    // of its own before the action runs, so the action and its save question see it, and the
    // caret comes back to a box that is still there.
    void pendingEntryIsEditedBeforeTheAction_data()
    {
        QTest::addColumn<int>("act");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        // An unsaved edit made before the value was typed.
        QTest::addColumn<bool>("earlier");
        // The vendor whose catalogue the settings choose; empty for the first.
        QTest::addColumn<QString>("vendor");
        // What the file holds for the box's record, where it is none the box can show as it is.
        QTest::addColumn<double>("stored");
        const double none = qQNaN();
        const struct
        {
            const char* name;
            const char* box;
            const char* typed;
        } boxes[] = {{"AIN filter time", "spinBoxImpulse", "360"},
                     {"calibration cell", "f10", "3"},
                     {"AOUT safe value", "spinBoxSaveMode", "7"},
                     {"DIN filter window", "spinBoxFilterWindow", "1500"},
                     {"port safe time", "spinBoxSafeMode", "1500"},
                     {"address", "spinBoxAddress", "17"},
                     {"response delay", "spinBoxResponseDelay", "250"},
                     {"group name", "", "Box 9"}};
        const struct
        {
            const char* name;
            Act act;
        } acts[] = {{"Ctrl+S", Act::Save},
                    {"Ctrl+Shift+S", Act::SaveAs},
                    {"export CSV", Act::ExportCsv},
                    {"export map", Act::ExportMap},
                    {"Ctrl+N", Act::NewKey},
                    {"tool bar New", Act::NewButton},
                    {"Ctrl+O", Act::Open},
                    {"open without dialog", Act::OpenNamed},
                    {"close", Act::Close},
                    {"Ctrl+R", Act::Read},
                    {"Ctrl+W", Act::Write},
                    {"F5", Act::StartMonitoring},
                    {"language", Act::Language},
                    {"undo", Act::Undo},
                    {"redo", Act::Redo},
                    {"file read in process", Act::Replaced},
                    {"read from the controller ended", Act::ReadEnded}};
        for (const auto& a : acts) {
            for (const auto& b : boxes) {
                // Only the resource page rebuilds its editors with the system.
                if (a.act == Act::Replaced && !onResourcePage(b.box))
                    continue;
                // Only the port editor keeps its boxes and the caret through a read.
                if (a.act == Act::ReadEnded && (onResourcePage(b.box) || !*b.box))
                    continue;
                // Save, undo and redo were there only with an unsaved edit or a history.
                const bool earlier = a.act == Act::Save || a.act == Act::Undo || a.act == Act::Redo;
                QTest::addRow("%s, %s", b.name, a.name) << int(a.act) << QString(b.box)
                                                        << QString(b.typed) << earlier << QString()
                                                        << none;
            }
        }
        // The typed value as the only change: everything the unsaved mark offers is there for
        // it, by key, tool bar and menu, in the catalogue of either brand; a value typed back
        // to what the box showed, or given up, leaves nothing unsaved.
        const struct
        {
            const char* name;
            Act act;
            bool firstBrand;
            bool secondBrand;
        } only[] = {{"Ctrl+S", Act::Save, true, true},
                    {"tool bar Save", Act::SaveButton, true, true},
                    {"File > Сохранить", Act::SaveMenu, true, true},
                    {"Ctrl+Shift+S", Act::SaveAs, false, true},
                    {"export CSV", Act::ExportCsv, false, true},
                    {"export map", Act::ExportMap, false, true},
                    {"typed back, Return", Act::Unchanged, true, false},
                    {"Escape", Act::GiveUp, true, false}};
        for (const auto& a : only) {
            for (const auto& b : boxes) {
                // Escape gives up the entry of a row's editor; a spin box keeps what it holds.
                if (a.act == Act::GiveUp && *b.box)
                    continue;
                if (a.firstBrand) {
                    QTest::addRow("%s, %s, the only change", b.name, a.name)
                        << int(a.act) << QString(b.box) << QString(b.typed) << false << QString()
                        << none;
                }
                if (a.secondBrand) {
                    QTest::addRow("second brand, %s, %s", b.name, a.name)
                        << int(a.act) << QString(b.box) << QString(b.typed) << false
                        << QString("holmark") << none;
                }
            }
        }
        // A row's editor the view destroys under the caret: what it held goes with it.
        QTest::newRow("group name, its editor destroyed")
            << int(Act::Gone) << QString() << QString("Box 9") << false << QString() << none;
        // A value in the file that the box cannot show as it is: a step from it, or the wheel
        // with the focus, lands on the range's nearest end; the wheel without the focus changes
        // nothing; the rounded value typed is an edit, which the save keeps.
        const struct
        {
            const char* name;
            const char* box;
            double stored;
            const char* typed;
            Act act;
        } held[] = {
            {"DIN filter window above, wheel without the focus", "spinBoxFilterWindow", 30000.0, "",
             Act::WheelOver},
            {"DIN filter window above, wheel", "spinBoxFilterWindow", 30000.0, "", Act::WheelIn},
            {"port safe time above, Up", "spinBoxSafeMode", 4294967295.0, "", Act::StepUp},
            {"AOUT safe value finer, the rounded value typed, Ctrl+S", "spinBoxSaveMode", 9999.0,
             "10", Act::Save},
            {"scale low finer, the rounded value typed, Ctrl+S", "f10", 172.537, "172.54",
             Act::Save}};
        for (const auto& h : held) {
            for (const QString vendor : {"", "holmark"}) {
                QTest::addRow("%s%s", vendor.isEmpty() ? "" : "second brand, ", h.name)
                    << int(h.act) << QString(h.box) << QString(h.typed) << false << vendor
                    << h.stored;
            }
        }
        // A list keeps its choice as the wheel passes over it.
        QTest::newRow("port baud rate list, wheel without the focus")
            << int(Act::WheelOver) << QString("comboBoxBaudRate") << QString() << false
            << QString() << none;
    }

    void pendingEntryIsEditedBeforeTheAction()
    {
        QFETCH(int, act);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, earlier);
        QFETCH(QString, vendor);
        QFETCH(double, stored);
        const Brand brand(env, vendor);
        const Act action = Act(act);
        const bool saving =
            action == Act::Save || action == Act::SaveButton || action == Act::SaveMenu;
        const bool resourceBox = onResourcePage(box);
        const bool groupName = box.isEmpty();

        // A controller in a group and three modules, its first input measuring current and the
        // first discrete input filtered, saved.
        const QString path = env.path() + "/entry.tavc";
        {
            SystemModel system;
            const DeviceType_t pex2000 = Brand::type(ResourceFixture::kPex2000, Device::PexClass);
            const Device::Ptr_t c0 = ResourceFixture::add(
                system, Brand::type(kTav1020, Device::TavClass), 0, "pumps");
            QVERIFY(c0);
            const Device::Ptr_t m1 = ResourceFixture::add(system, pex2000, 1, "", c0->id());
            const Device::Ptr_t m2 = ResourceFixture::add(
                system, Brand::type(ResourceFixture::kPex5000, Device::PexClass), 2, "", c0->id());
            QVERIFY(m1 && m2 && ResourceFixture::add(system, pex2000, 3, "", c0->id()));
            EditorFixture::setConfig(ofKind(system, m2, ResourceKind::Ain).first(),
                                     [](AbstractConfig& c) { c.ain.range = Ain::Current; });
            EditorFixture::setConfig(ofKind(system, m1, ResourceKind::Din).first(),
                                     [](AbstractConfig& c) { c.din.filterOn = true; });
            // A second controller with two boards brings the system its serial ports.
            const DeviceType_t ported = SystemFixture::typeWithBoards(2, 2);
            QVERIFY(ported);
            ResourceFixture::add(system, ported, 1);
            if (!qIsNaN(stored))
                storeForBoxes(system, stored, m1, m2);
            ConfigurationStorage storage(&system);
            storage.setFileName(path);
            QVERIFY(storage.save());
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray savedText = file.readAll();
        file.close();

        TavConfigurator window(false);
        SeeingPrompts prompts(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.files().open(path);
        const QByteArray original = ResourceFixture::json(window.model());
        QCOMPARE(window.windowTitle(), QString("entry.tavc - Tav Configurator"));
        const SystemModel& model = window.model();
        const NodeId_t controller = model.deviceHandles().value(0).id;
        const NodeId_t m1 = model.deviceHandles().value(1).id;
        const NodeId_t m2 = model.deviceHandles().value(2).id;
        // A controller added, and taken back for the redo.
        if (earlier) {
            window.systemPage()->onAdd({handleOf(kTav1020, 2)});
            if (action == Act::Redo)
                window.transactions().undoActivated();
        }
        const QByteArray base = ResourceFixture::json(model);

        QPointer<QWidget> field;
        if (resourceBox) {
            window.tabs().goEditResources();
            ResourceConfigurator* page = window.resourcesPage();
            const bool input = box.startsWith('f') || box == "spinBoxImpulse";
            const int kind = input                       ? ResourceKind::Ain
                             : box == "spinBoxSaveMode" ? ResourceKind::Aout
                                                        : ResourceKind::Din;
            const IoResource::Ptr_t resource =
                ofKind(model, model.device(input ? m2 : m1), kind).first();
            page->view()->selectRows(
                {page->proxy()->mapFromSource(page->model()->indexes({resource->id()}).value(0))});
            Editor* editor = page->editorViewer()->editor(kind);
            if (box.startsWith('f'))
                editor->findChild<QTabBar*>()->setCurrentIndex(1);
            field = editor->findChild<QAbstractSpinBox*>(box);
        } else {
            SystemConfigurator* page = window.systemPage();
            if (groupName) {
                const QModelIndex group = page->treeModel()->index(0, 0);
                QCOMPARE(group.data(SystemConfiguration::KindRole).toInt(),
                         int(SystemConfiguration::GroupKind));
                page->view()->edit(group);
                field = page->view()->findChild<QLineEdit*>();
            } else {
                QItemSelectionModel* selection = page->view()->selectionModel();
                selection->clear();
                selection->select(page->treeModel()->rowOfDevice().value(controller),
                                  QItemSelectionModel::Select);
                EditorSerialPort* editor = page->informationPanel()->portEditor();
                editor->portTabs()->setCurrentIndex(box == "spinBoxAddress" ? 1 : 0);
                field = editor->findChild<QWidget*>(box);
            }
        }
        QVERIFY(field && field->isVisible() && field->isEnabled());
        field->setFocus();
        QCOMPARE(QApplication::focusWidget(), field.data());
        const char* const shownText = groupName                   ? "text"
                                      : box.startsWith("comboBox") ? "currentText"
                                                                   : "cleanText";
        const QString shown = field->property(shownText).toString();
        QCOMPARE(field->property("outOfRange").toBool(), !qIsNaN(stored));
        if (!typed.isEmpty()) {
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, typed);
            QCOMPARE(ResourceFixture::json(model), base);
            // What the box holds is unsaved, and all that saves it is offered.
            QVERIFY(window.windowTitle().startsWith('*'));
            for (FileOperations::Action offered :
                 {FileOperations::Save, FileOperations::SaveAs, FileOperations::ExportCsv,
                  FileOperations::ExportMap}) {
                QVERIFY(window.files().action(offered)->isEnabled());
            }
        }

        // The menus' entries are what the menu's click triggers; a menu that opens keeps the
        // box's entry as it is.
        const QString other = env.path() + "/other.tavc";
        const auto toolButton = [&](QAction* a) {
            QWidget* button = window.toolBar()->widgetForAction(a);
            QVERIFY(button && button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
        };
        const auto menuItem = [&](QAction* a) {
            QMenu* menu = nullptr;
            for (QAction* title : window.menuBar()->actions()) {
                if (title->menu()->actions().contains(a))
                    menu = title->menu();
            }
            QVERIFY(menu);
            QTest::mouseClick(window.menuBar(), Qt::LeftButton, {},
                              window.menuBar()->actionGeometry(menu->menuAction()).center());
            QTRY_VERIFY(menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            QTRY_VERIFY(!menu->isVisible());
        };
        QByteArray written;
        const QMetaObject::Connection aboutToWrite =
            connect(window.deviceOperation(), &DeviceOperation::aboutToWrite,
                    [&] { written = ResourceFixture::json(model); });
        if (action == Act::Read || action == Act::Write || action == Act::StartMonitoring) {
            window.deviceOperation()->systemSelected(
                OnlineFixture::liveSystem({{ModelFixture::kTav1020, 0, 1001, 9, 0, 77}}));
        }
        // "Отмена" to the save question; "Да" to a write onto other modules.
        prompts.answers << (action == Act::Write ? 0 : 2);
        switch (action) {
        case Act::Save:
            QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
            break;
        case Act::SaveButton:
            toolButton(window.files().action(FileOperations::Save));
            break;
        case Act::SaveMenu:
            menuItem(window.files().action(FileOperations::Save));
            break;
        case Act::Unchanged:
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, shown);
            QTest::keyClick(field, Qt::Key_Return);
            // A row's editor closes once the event loop comes back.
            if (groupName)
                QTRY_VERIFY(!field || !field->isVisible());
            break;
        case Act::GiveUp:
            QTest::keyClick(field, Qt::Key_Escape);
            break;
        case Act::Gone:
            delete field.data();
            break;
        case Act::WheelOver:
            field->clearFocus();
            [[fallthrough]];
        case Act::WheelIn: {
            const QPoint at = field->mapTo(&window, field->rect().center());
            QWindowSystemInterface::handleWheelEvent(window.windowHandle(), at,
                                                     window.mapToGlobal(at), QPoint(),
                                                     QPoint(0, 120));
            QWindowSystemInterface::flushWindowSystemEvents();
            break;
        }
        case Act::StepUp:
            QTest::keyClick(field, Qt::Key_Up);
            break;
        case Act::SaveAs:
            prompts.fileNames << other;
            QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        case Act::ExportCsv:
            menuItem(window.files().action(FileOperations::ExportCsv));
            break;
        case Act::ExportMap:
            menuItem(window.files().action(FileOperations::ExportMap));
            break;
        case Act::NewKey:
            QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
            break;
        case Act::NewButton:
            toolButton(window.files().action(FileOperations::New));
            break;
        case Act::Open:
            prompts.fileNames << path;
            QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
            break;
        case Act::OpenNamed:
            window.openCommandLineFile(path);
            QTRY_COMPARE(prompts.questions.size(), 1);
            break;
        case Act::Close:
            QVERIFY(!window.close());
            break;
        case Act::Replaced:
            // No action of the user's: the box's editor goes with the system it edits.
            window.files().open(path);
            break;
        case Act::ReadEnded:
            // Typed while the read ran: its end shows the records read in place and tells so.
            window.model().systemUpdated();
            window.deviceOperation()->onLoaded(true);
            break;
        case Act::Read:
            QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
            break;
        case Act::Write:
            QTest::keyClick(field, Qt::Key_W, Qt::ControlModifier);
            break;
        case Act::StartMonitoring:
            QTest::keyClick(field, Qt::Key_F5);
            break;
        case Act::Language: {
            QAction* english = nullptr;
            for (QAction* language : window.options()->languageActions())
                if (!language->isChecked())
                    english = language;
            QVERIFY(english);
            english->trigger();
            break;
        }
        case Act::Undo:
        case Act::Redo:
            // Ctrl+Z in the name field takes back its own typing: there the tool bar's button
            // moves the history.
            if (groupName) {
                toolButton(action == Act::Undo ? window.transactions().undoAction()
                                               : window.transactions().redoAction());
            } else if (action == Act::Undo) {
                QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
            } else {
                QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            }
            break;
        }
        disconnect(aboutToWrite);

        // The typed value is one edit of its own, whatever came after it.
        const QUndoStack& history = window.transactions().stack();
        const QByteArray now = ResourceFixture::json(model);
        switch (action) {
        case Act::Save:
        case Act::SaveButton:
        case Act::SaveMenu:
        case Act::SaveAs: {
            QVERIFY(now != base);
            QCOMPARE(window.windowTitle().startsWith('*'), false);
            SystemModel reopened;
            ConfigurationStorage storage(&reopened);
            QVERIFY(storage.load(saving ? path : other));
            QCOMPARE(ResourceFixture::json(reopened), now);
            break;
        }
        case Act::WheelIn:
        case Act::StepUp:
            QCOMPARE(history.count(), 1);
            QCOMPARE(field->property("value"), field->property("maximum"));
            QVERIFY(!field->property("outOfRange").toBool());
            QVERIFY(window.windowTitle().startsWith('*'));
            break;
        case Act::WheelOver:
            QCOMPARE(field->property(shownText).toString(), shown);
            QCOMPARE(field->property("outOfRange").toBool(), !qIsNaN(stored));
            [[fallthrough]];
        case Act::Unchanged:
        case Act::GiveUp:
        case Act::Gone:
            QCOMPARE(now, base);
            QCOMPARE(history.count(), 0);
            QCOMPARE(window.windowTitle(), QString("entry.tavc - Tav Configurator"));
            QVERIFY(!window.files().action(FileOperations::Save)->isEnabled());
            break;
        case Act::Write:
            QCOMPARE(written, now);
            QVERIFY(now != original);
            QCOMPARE(history.count(), 1);
            break;
        case Act::Language:
            QCOMPARE(history.count(), 1);
            QVERIFY(now != original);
            QVERIFY(window.windowTitle().startsWith('*'));
            break;
        case Act::Undo:
            // The typed value was the last edit: the undo takes back that and no more.
            QCOMPARE(now, base);
            QCOMPARE(history.count(), 2);
            QCOMPARE(history.index(), 1);
            break;
        case Act::Redo:
            // A new edit leaves nothing to redo.
            QVERIFY(now != base);
            QCOMPARE(history.count(), 1);
            QCOMPARE(history.index(), 1);
            break;
        case Act::ReadEnded:
            // A box still shown shows what was read: nothing typed is left to save.
            QCOMPARE(now, original);
            QVERIFY(!window.windowTitle().startsWith('*'));
            QVERIFY(!window.files().action(FileOperations::Save)->isEnabled());
            if (field && field->isVisible())
                QCOMPARE(field->property(shownText).toString(), shown);
            break;
        case Act::Replaced:
            QCOMPARE(now, original);
            QCOMPARE(history.count(), 0);
            // What the box still holds is unsaved until it is entered or given up.
            QCOMPARE(window.windowTitle(),
                     QString(field && field->property("text") == typed ? "*" : "")
                         + "entry.tavc - Tav Configurator");
            break;
        default:
            // Asked first, and "Отмена" keeps the system with its edit.
            QCOMPARE(prompts.seen, now);
            QVERIFY(now != original);
            QCOMPARE(history.count(), 1);
            QVERIFY(window.windowTitle().startsWith('*'));
            QVERIFY2(window.isVisible(), "the window closed");
            break;
        }
        if (action == Act::NewKey || action == Act::NewButton || action == Act::Open
            || action == Act::OpenNamed || action == Act::Close || action == Act::Read
            || action == Act::StartMonitoring) {
            QCOMPARE(prompts.questions.size(), 1);
            QVERIFY(prompts.seenTitle.startsWith('*'));
        }
        if (action != Act::Undo && action != Act::Replaced && action != Act::Unchanged
            && action != Act::GiveUp && action != Act::ReadEnded && action != Act::Gone
            && !typed.isEmpty()) {
            if (groupName) {
                QCOMPARE(model.device(controller)->group(), typed);
            } else if (field && field->isVisible()) {
                QCOMPARE(field->property("value").toDouble(), typed.toDouble());
            }
        }
        // The caret is back in the box, so what is typed next lands there.
        if (field && field->isVisible() && !groupName && action != Act::WheelOver)
            QCOMPARE(QApplication::focusWidget(), field.data());
        // The file on disk was left as it was, but by a save over it.
        if (!saving) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), savedText);
        }
    }

    void whatTheWindowOwnsGoesWhileTheSystemIsThere_data()
    {
        QTest::addColumn<bool>("onPage");
        QTest::newRow("service of the window") << false;
        QTest::newRow("object on a page") << true;
    }

    void whatTheWindowOwnsGoesWhileTheSystemIsThere()
    {
        QFETCH(bool, onPage);
        int seen = -1;
        {
            TavConfigurator window(false);
            newSystemWithController(window);
            QObject* parent = window.systemPage();
            if (!onPage)
                parent = &window;
            new ModelReader(window.model(), &seen, parent);
        }
        QCOMPARE(seen, 1);
    }
};

QTEST_MAIN(TavConfiguratorTest)
#include "tst_tavconfigurator.moc"
