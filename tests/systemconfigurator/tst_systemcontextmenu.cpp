// The system tree's context menu: which actions a selection enables, what its device-selector
// pages offer within the power reserve and the board budget, and the code a choice gives.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/contextmenu.h"
#include "systemconfigurator/deviceselector.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systempagefixture.h"

#include <QApplication>
#include <QListWidget>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace SystemConfiguration;

namespace {

ContextMenu::Options oneModule()
{
    ContextMenu::Options o;
    o.hasDeviceRows = true;
    o.hasModule = true;
    o.canAdd = true;
    o.freeBoards = 10;
    o.freeBoardsForSelection = 11;
    o.powerReserve = 5000;
    o.reserveWithSelection = 6000;
    o.moduleShare = 6000;
    o.selectedModules = 1;
    o.selectedCount = 1;
    return o;
}

QList<DeviceType_t> enabledTypes(DeviceSelector* page)
{
    QList<DeviceType_t> out;
    const QListWidget* list = page ? page->findChild<QListWidget*>() : nullptr;
    for (int i = 0; list && i < list->count(); ++i) {
        if (list->item(i)->flags() & Qt::ItemIsEnabled)
            out << DeviceType_t(list->item(i)->data(Qt::UserRole).toUInt());
    }
    return out;
}

using Code = ContextMenu::Code;

} // namespace

class SystemContextMenuTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    static QList<Code> enabled(const ContextMenu& menu)
    {
        QList<Code> out;
        for (int c = ContextMenu::CreateGroup; c <= ContextMenu::CollapseOthers; ++c) {
            if (menu.action(Code(c))->isEnabled())
                out << Code(c);
        }
        return out;
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName("Tav Configurator"); }

    void enableMatrix()
    {
        // One module: delete, clone and change type; no module is added to a module.
        ContextMenu::Options o = oneModule();
        QCOMPARE(enabled(ContextMenu(o)),
                 (QList<Code>{ContextMenu::DeleteDevices, ContextMenu::CloneDevices,
                              ContextMenu::ChangeType}));
        o.canAdd = false;
        QCOMPARE(enabled(ContextMenu(o)),
                 (QList<Code>{ContextMenu::DeleteDevices, ContextMenu::ChangeType}));

        // A controller with its module: no retyping of both at once.
        o = oneModule();
        o.hasController = true;
        QCOMPARE(enabled(ContextMenu(o)),
                 (QList<Code>{ContextMenu::DeleteDevices, ContextMenu::CloneDevices}));

        // Two controllers: groupable, and a module may be added.
        o = oneModule();
        o.hasModule = false;
        o.hasController = true;
        o.canGroup = true;
        QCOMPARE(enabled(ContextMenu(o)),
                 (QList<Code>{ContextMenu::CreateGroup, ContextMenu::AddModule,
                              ContextMenu::DeleteDevices, ContextMenu::CloneDevices,
                              ContextMenu::ChangeType}));

        // A programmable controller blocks every device edit but adding a module.
        o.hasPlc = true;
        QCOMPARE(enabled(ContextMenu(o)), QList<Code>{ContextMenu::AddModule});

        // Group rows of a grouped tree with another group expanded.
        ContextMenu::Options g;
        g.hasGroupRows = true;
        g.treeHasGroups = true;
        g.othersExpanded = true;
        g.canGroup = true;
        const ContextMenu groups(g);
        QCOMPARE(enabled(groups),
                 (QList<Code>{ContextMenu::DeleteGroups, ContextMenu::DeleteGroupsAndDevices,
                              ContextMenu::ExpandAll, ContextMenu::CollapseAll,
                              ContextMenu::CollapseOthers}));
        QVERIFY(!groups.changeTypePage() && !groups.addModulePage());
    }

    void everyActionIsInTheMenu()
    {
        const ContextMenu menu;
        const QList<QAction*> shown = menu.actions();
        QCOMPARE(shown.size(), 11);
        QVERIFY(shown.at(4)->isSeparator());
        QCOMPARE(shown.at(5)->text(), QStringLiteral("Создать группу"));
        QCOMPARE(shown.at(10)->text(), QStringLiteral("Удалить группы и уст-ва"));
        for (int c = ContextMenu::CreateGroup; c <= ContextMenu::CollapseOthers; ++c) {
            QVERIFY(shown.contains(menu.action(Code(c))));
            if (c != ContextMenu::AddModule && c != ContextMenu::ChangeType)
                QCOMPARE(menu.chosenAction(menu.action(Code(c))), c);
        }
        QCOMPARE(menu.chosenAction(nullptr), 0);
    }

    void changeTypePageSharesTheReserve()
    {
        // Two modules sharing 900 mW: each may draw less than 450 mW.
        SettingsProvider& catalogue = SettingsProvider::instance();
        const QList<DeviceType_t> modules = catalogue.types(3);
        QVERIFY(modules.size() >= 4);
        const QMap<DeviceType_t, DeviceTemplate> saved = catalogue.templates;
        const QList<int> draws = {300, 449, 450, 600};
        for (int i = 0; i < draws.size(); ++i)
            catalogue.templates[modules.at(i)].preq = draws.at(i);

        ContextMenu::Options o = oneModule();
        o.reserveWithSelection = 900;
        o.selectedModules = 2;
        o.selectedCount = 2;
        o.moduleShare = 450;
        const ContextMenu menu(o);
        QCOMPARE(enabledTypes(menu.changeTypePage()),
                 (QList<DeviceType_t>{modules.at(0), modules.at(1)}));
        catalogue.templates = saved;
    }

    void addModulePageOffersOnlyModulesThatFit()
    {
        const SettingsProvider& catalogue = SettingsProvider::instance();
        ContextMenu::Options o = oneModule();
        o.hasModule = false;
        o.hasController = true;
        o.powerReserve = 1000000;
        o.freeBoards = 1;
        const QList<DeviceType_t> offered = enabledTypes(ContextMenu(o).addModulePage());
        QVERIFY(!offered.isEmpty());
        for (const DeviceType_t t : offered)
            QCOMPARE(catalogue.templates.value(t).boardIds.size(), 1);
        QCOMPARE(offered.size(), catalogue.typesWithinSlots(catalogue.types(3), 1, 1).size());

        o.freeBoards = 0;
        const ContextMenu full(o);
        QVERIFY(!full.action(ContextMenu::AddModule)->isEnabled());
        QVERIFY(!full.addModulePage());
    }

    void aChoiceOnAPageAnswersForTheMenu()
    {
        ContextMenu::Options o = oneModule();
        ContextMenu menu(o);
        DeviceSelector* page = menu.changeTypePage();
        QVERIFY(page);
        auto* list = page->findChild<QListWidget*>();
        QListWidgetItem* item = list->item(0);
        QVERIFY(item->flags() & Qt::ItemIsEnabled);
        page->onItemSelected(item);
        QCOMPARE(menu.chosenAction(menu.action(ContextMenu::DeleteDevices)),
                 int(ContextMenu::ChangeType));
        QCOMPARE(menu.chosenType(), DeviceType_t(item->data(Qt::UserRole).toUInt()));
    }

    // The menu of the system page as the user runs it: "Изменить тип", a click on an entry of
    // the type list, Escape, Escape. Nothing is chosen, and the menu goes without a word from its
    // pages while it is taken down.
    void escapingTheTypeListAfterAClickChangesNothing()
    {
        SystemModel system;
        QUndoStack stack;
        SystemConfigurator page(&system);
        QObject::connect(&page, &SystemConfigurator::changeSystem, &stack, &QUndoStack::push);
        const QList<DeviceHandle> bus = appendController(
            system, ModelFixture::kTav1020, SystemFixture::typeWithBoards(3, 1), 1);
        page.reloadSystem();
        page.resize(1100, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QByteArray before = SystemFixture::jsonOf(system);
        const QModelIndex module = page.treeModel()->rowOfDevice().value(bus.at(1).id);
        page.view()->selectionModel()->select(module, QItemSelectionModel::Select
                                                          | QItemSelectionModel::Rows);

        bool clicked = false;
        QScopedPointer<QSignalSpy> announced;
        int announcedOpen = -1;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<ContextMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->changeTypePage());
            announced.reset(new QSignalSpy(menu, &ContextMenu::devEntered));
            menu->setActiveAction(menu->action(ContextMenu::ChangeType));
            QTest::keyClick(menu, Qt::Key_Right);
            QCOMPARE(QApplication::activePopupWidget(), menu->changeTypeMenu());
            auto* list = menu->changeTypePage()->findChild<QListWidget*>();
            const QPoint entry = list->visualItemRect(list->item(0)).center();
            QTest::mouseMove(list->viewport(), entry);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, entry);
            clicked = list->currentRow() == 0;
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QCOMPARE(QApplication::activePopupWidget(), menu);
            QTest::keyClick(menu, Qt::Key_Escape);
            announcedOpen = announced->count();
        });
        page.onContextMenuRequested(page.view()->visualRect(module).center());
        QVERIFY(clicked);
        QCOMPARE(announced->count(), announcedOpen);
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(stack.count(), 0);
        QCOMPARE(SystemFixture::jsonOf(system), before);
    }
};

QTEST_MAIN(SystemContextMenuTest)
#include "tst_systemcontextmenu.moc"
