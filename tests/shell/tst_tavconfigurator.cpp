// The main window as the user meets it: pages and tab bar following the system, the title's
// unsaved mark, undo through the real pages, the menus and the tool bar, closing with unsaved
// changes, the geometry kept between runs, and the window's own objects going while the system
// is still there.
#include "resourceconfigurator/resourceconfigurator.h"
#include "communication/devicepool.h"
#include "hostilefiles.h"
#include "scriptedprompts.h"
#include "shell/debugoperations.h"
#include "shell/deviceoperation.h"
#include "shell/emptyscreen.h"
#include "shell/helpoperations.h"
#include "shell/optionsoperation.h"
#include "shell/portscans.h"
#include "shell/tavconfigurator.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "systemconfigurator/systemconfigurator.h"
#include "upgrade/upgradefirmwaredialog.h"
#include "upgrade/upgrademanager.h"

#include <QMenuBar>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

using ModelFixture::handleOf;
using ModelFixture::kTav1020;

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

    static QWidget* currentPage(TavConfigurator& window)
    {
        return window.pageStack()->currentWidget();
    }

private slots:
    void initTestCase() { qputenv("TAVCFG_EXTRA_PORTS", ""); }

    void init() { QSettings().clear(); }

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
