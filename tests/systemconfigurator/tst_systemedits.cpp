// The commands the system page builds from the tree's selection: grouping, cloning within the
// board budget, removing (a controller with its modules), dissolving groups; and the figures the
// context menu is opened with.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/contextmenuoptions.h"
#include "systemconfigurator/systemedits.h"
#include "systemconfigurator/treerole.h"
#include "systempagefixture.h"

#include <QTreeView>
#include <QtTest>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

class SystemEditsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav1 = 0;
    DeviceType_t tav2 = 0;
    DeviceType_t pex1 = 0;
    DeviceType_t pex2 = 0;

    QList<DeviceHandle> addController(TreeOfSystem& s, DeviceType_t type, int modules,
                                      DeviceType_t module = 0)
    {
        return appendController(s.system, type, module ? module : pex1, modules);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(ModelFixture::loadCatalogueAs("Tav Configurator").mode, 1);
        tav1 = typeWithBoards(2, 1);
        tav2 = typeWithBoards(2, 2);
        pex1 = typeWithBoards(3, 1);
        pex2 = typeWithBoards(3, 2);
        QVERIFY(tav1 && tav2 && pex1 && pex2);
    }

    // First, as the group counter counts for the whole process.
    void groupsAreNumberedAndTakeWholeBuses()
    {
        TreeOfSystem s;
        QUndoStack stack;
        const QList<DeviceHandle> a = addController(s, tav1, 2);
        const QList<DeviceHandle> b = addController(s, tav1, 0);
        const QList<DeviceHandle> c = addController(s, tav1, 2);
        s.reload();

        // A module selected alone brings its controller and the controller's other modules.
        undoRestoresFile(s.system, stack, SystemEdits::addGroup(s.tree, s.rows({a[1].id, b[0].id}),
                                                                &s.system));
        for (const DeviceHandle& h : a + b)
            QCOMPARE(s.groupOf(h.id), QStringLiteral("Group 1"));
        QCOMPARE(s.groupOf(c[0].id), QString());

        s.reload();
        stack.push(SystemEdits::addGroup(s.tree, s.rows({c[2].id}), &s.system));
        QCOMPARE(s.groupOf(c[1].id), QStringLiteral("Group 2"));

        // Group rows name no devices: nothing to do, but the number is used up.
        s.reload();
        QVERIFY(!SystemEdits::addGroup(s.tree, {s.groupRow("Group 1")}, &s.system));
        // An existing group of the new name is joined, not renamed.
        stack.push(SystemEdits::addGroup(s.tree, s.rows({c[0].id}), &s.system));
        QCOMPARE(s.groupOf(c[0].id), QStringLiteral("Group 4"));
        QCOMPARE(SystemEdits::nextGroupNumber(), 5);
    }

    void removingAControllerRemovesItsModules()
    {
        TreeOfSystem s;
        QUndoStack stack;
        const QList<DeviceHandle> a = addController(s, tav1, 2);
        const QList<DeviceHandle> b = addController(s, tav1, 1);
        s.reload();
        // The controller and one of its own modules selected: each goes once.
        undoRestoresFile(s.system, stack,
                         SystemEdits::removeDevices(s.tree, s.rows({a[0].id, a[2].id}),
                                                    &s.system));
        QCOMPARE(s.ids(), (QList<NodeId_t>{b[0].id, b[1].id}));
        QCOMPARE(s.system.device(b[0].id)->number(), 0);

        // A module alone leaves its controller.
        s.reload();
        stack.push(SystemEdits::removeDevices(s.tree, s.rows({b[1].id}), &s.system));
        QCOMPARE(s.ids(), QList<NodeId_t>{b[0].id});
        s.reload();
        QVERIFY(!SystemEdits::removeDevices(s.tree, {s.tree.index(s.tree.rowCount() - 1, 0)},
                                            &s.system));
    }

    void removingGroups()
    {
        TreeOfSystem s;
        QUndoStack stack;
        const QList<DeviceHandle> a = addController(s, tav1, 1);
        const QList<DeviceHandle> b = addController(s, tav1, 1);
        const QList<DeviceHandle> c = addController(s, tav1, 0);
        for (const DeviceHandle& h : a + b)
            s.system.device(h.id)->setGroup(QStringLiteral("Щит"));
        s.reload();
        const QModelIndex group = s.groupRow(QStringLiteral("Щит"));

        undoRestoresFile(s.system, stack,
                         SystemEdits::removeGroups(s.tree, {group, s.row(c[0].id)}, &s.system));
        QCOMPARE(s.ids().size(), 5);
        for (const DeviceHandle& h : a + b)
            QCOMPARE(s.groupOf(h.id), QString());

        stack.undo();
        s.reload();
        undoRestoresFile(s.system, stack,
                         SystemEdits::removeGroupsAndDevices(
                             s.tree, {s.groupRow(QStringLiteral("Щит"))}, &s.system));
        QCOMPARE(s.ids(), QList<NodeId_t>{c[0].id});
        QVERIFY(!SystemEdits::removeGroups(s.tree, {s.row(c[0].id)}, &s.system));
    }

    void aGroupedControllerTakesItsUngroupedModulesAlong()
    {
        TreeOfSystem s;
        QUndoStack stack;
        const QList<DeviceHandle> a = addController(s, tav1, 2);
        addController(s, tav1, 0);
        s.system.device(a[0].id)->setGroup(QStringLiteral("G"));
        s.system.device(a[1].id)->setGroup(QStringLiteral("G"));
        s.reload();
        stack.push(SystemEdits::removeGroupsAndDevices(s.tree, {s.groupRow("G")}, &s.system));
        QVERIFY(!s.system.device(a[2].id));
    }

    void clonesFollowTheSelectionOrder()
    {
        TreeOfSystem s;
        QUndoStack stack;
        const QList<DeviceHandle> a = addController(s, tav1, 2);
        const QList<DeviceHandle> b = addController(s, tav1, 0);
        s.reload();
        // A module before any controller is skipped; one after a controller goes under its clone.
        undoRestoresFile(s.system, stack,
                         SystemEdits::duplicate(s.tree, s.rows({a[2].id, b[0].id, a[1].id}),
                                                &s.system));
        const QList<DeviceHandle> bus = s.system.deviceHandles();
        QCOMPARE(bus.size(), 6);
        const DeviceHandle clone = bus.at(4);
        QVERIFY(clone.owner.isNull());
        QCOMPARE(clone.type, tav1);
        QCOMPARE(clone.number, 2);
        QCOMPARE(bus.at(5).owner, clone.id);
        QCOMPARE(bus.at(5).number, 1);
        QCOMPARE(bus.at(5).type, pex1);
    }

    void clonesNeverPassTheBoardBudget()
    {
        TreeOfSystem s;
        QUndoStack stack;
        // 20 of the 22 boards in use.
        const QList<DeviceHandle> a = addController(s, tav2, 1, pex2);
        for (int i = 0; i < 8; ++i)
            addController(s, tav2, 0);
        s.reload();
        QCOMPARE(s.tree.boardsInUse(), 20);

        // Two boards left: the controller's clone fits, its module's does not.
        stack.push(SystemEdits::duplicate(s.tree, s.rows({a[0].id, a[1].id}), &s.system));
        QCOMPARE(s.ids().size(), 11);
        s.reload();
        QCOMPARE(s.tree.boardsInUse(), 22);

        // One board left: a two-board controller is not cloned.
        stack.undo();
        s.system.removeDevice(a[1].id);
        for (int i = 0; i < 3; ++i)
            addController(s, tav1, 0);
        s.reload();
        QCOMPARE(s.tree.boardsInUse(), 21);
        const int before = s.ids().size();
        stack.push(SystemEdits::duplicate(s.tree, s.rows({a[0].id}), &s.system));
        QCOMPARE(s.ids().size(), before);
        // The one-board controller still fits.
        s.reload();
        stack.push(SystemEdits::duplicate(s.tree, s.rows({s.ids().last()}), &s.system));
        QCOMPARE(s.ids().size(), before + 1);
        // None left.
        s.reload();
        stack.push(SystemEdits::duplicate(s.tree, s.rows({s.ids().last()}), &s.system));
        QCOMPARE(s.ids().size(), before + 1);
    }

    void menuFigures()
    {
        TreeOfSystem s;
        const QList<DeviceHandle> a = addController(s, tav2, 2);
        const QList<DeviceHandle> b = addController(s, tav2, 1);
        s.reload();
        QTreeView view;
        view.setModel(&s.tree);
        // The reserve of controller a and its modules' consumption as the worked example has them.
        s.tree.setData(s.row(a[0].id), 300, PowerReserveRole);
        s.tree.setData(s.row(a[1].id), 100, PowerRequiredRole);
        s.tree.setData(s.row(a[2].id), 100, PowerRequiredRole);
        s.tree.setData(s.row(b[0].id), 5000, PowerReserveRole);

        ContextMenuOptions o =
            ContextMenuOptions::compute(s.tree, s.rows({a[1].id, a[2].id}), {}, view);
        QCOMPARE(o.powerReserve, 300);
        QCOMPARE(o.reserveWithSelection, 500);
        QCOMPARE(o.selectedModules, 2);
        QCOMPARE(o.moduleShare, 250);
        QCOMPARE(o.selectedCount, 2);
        QVERIFY(o.hasModule && o.hasDeviceRows && !o.hasController && !o.hasGroupRows);
        QVERIFY(!o.canGroup);
        DeviceTemplate tpl;
        QVERIFY(SettingsProvider::instance().deviceTemplate(tav2, 0, &tpl, false));
        QCOMPARE(o.weakestConsumption, tpl.preq);
        QCOMPARE(o.weakestBudget, tpl.pgen - tpl.preq);
        QCOMPARE(o.freeBoards, 22 - 7);
        QCOMPARE(o.freeBoardsForSelection, 22 - 7 + 2 * boardsOf(pex1));

        // Two controllers: groupable; with equal reserves the first stays the weakest.
        s.tree.setData(s.row(b[0].id), 300, PowerReserveRole);
        o = ContextMenuOptions::compute(s.tree, s.rows({b[0].id, a[0].id}), {}, view);
        QVERIFY(o.canGroup && o.hasController);
        QCOMPARE(o.selectedModules, 0);
        QCOMPARE(o.reserveWithSelection, 300 + tpl.preq);
        QCOMPARE(o.moduleShare, o.reserveWithSelection);
        // A controller with its module is one controller.
        QVERIFY(!ContextMenuOptions::compute(s.tree, s.rows({a[0].id, a[1].id}), {}, view).canGroup);
    }

    void menuFiguresOfGroupRows()
    {
        TreeOfSystem s;
        const QList<DeviceHandle> a = addController(s, tav1, 1);
        const QList<DeviceHandle> b = addController(s, tav1, 1);
        for (const DeviceHandle& h : a)
            s.system.device(h.id)->setGroup(QStringLiteral("G"));
        for (const DeviceHandle& h : b)
            s.system.device(h.id)->setGroup(QStringLiteral("H"));
        s.reload();
        QTreeView view;
        view.setModel(&s.tree);
        const QModelIndex g = s.groupRow("G");
        const QModelIndex h = s.groupRow("H");

        ContextMenuOptions o = ContextMenuOptions::compute(s.tree, {g}, g, view);
        QVERIFY(o.hasGroupRows && !o.hasDeviceRows && o.treeHasGroups);
        QCOMPARE(o.powerReserve, INT_MAX);
        QCOMPARE(o.reserveWithSelection, INT_MAX);
        QCOMPARE(o.selectedModules, 0);
        QCOMPARE(o.moduleShare, INT_MAX);
        QVERIFY(!o.othersExpanded);
        view.expand(g);
        QVERIFY(!ContextMenuOptions::compute(s.tree, {g}, g, view).othersExpanded);
        view.expand(h);
        QVERIFY(ContextMenuOptions::compute(s.tree, {g}, g, view).othersExpanded);
        // Rows inside groups are never grouped again from the menu.
        QVERIFY(!ContextMenuOptions::compute(s.tree, s.rows({a[0].id, b[0].id}), {}, view).canGroup);
    }
};

QTEST_MAIN(SystemEditsTest)
#include "tst_systemedits.moc"
