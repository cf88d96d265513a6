// Where a dragged row of the system tree may be dropped, the drag picture, what the model makes of
// the final pair of rows, and the expanded state of groups across rebuilds.
#include "support/isolatedenvironment.h"
#include "treeviewfixture.h"

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QUuid>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

QStandardItem* row(int kind, int required = 0)
{
    auto* item = new QStandardItem;
    item->setData(kind, KindRole);
    item->setData(0, AddRowRole);
    item->setData(required, PowerRequiredRole);
    return item;
}

} // namespace

class SystemTreeDragTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

    // Rows built by hand, with exactly the roles the rules read.
    QStandardItemModel rules;
    QModelIndex controllerA, moduleA, controllerB, moduleB, plcWithModules, plc, lastTav, addRow,
        groupEnd, source;
    QUuid ownerA = QUuid::createUuid();
    QUuid ownerB = QUuid::createUuid();

    QModelIndex append(QStandardItem* item, QStandardItem* parent = nullptr)
    {
        (parent ? parent : rules.invisibleRootItem())->appendRow(item);
        return item->index();
    }

    QModelIndex moduleOf(const QUuid& owner, int required)
    {
        QStandardItem* item = row(3, required);
        item->setData(owner, OwnerRole);
        return append(item);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(pickBusTypes(tav, pex));

        // Top level: Tav A (reserve 500) + module, Tav B (reserve 100) + module, PLC with a
        // module, PLC, Tav, add row.
        controllerA = append(row(2));
        rules.setData(controllerA, 500, PowerReserveRole);
        moduleA = moduleOf(ownerA, 200);
        rules.setData(moduleA, QVariant::fromValue(QModelIndex(controllerA)), OwnerIndexRole);
        controllerB = append(row(2));
        rules.setData(controllerB, 100, PowerReserveRole);
        moduleB = moduleOf(ownerB, 200);
        rules.setData(moduleB, QVariant::fromValue(QModelIndex(controllerB)), OwnerIndexRole);
        plcWithModules = append(row(1));
        rules.setData(plcWithModules, 1, ModuleCountRole);
        plc = append(row(1));
        lastTav = append(row(2));
        QStandardItem* add = row(0);
        add->setData(1, AddRowRole);
        addRow = append(add);
        // A group holding one controller and its closing spacer.
        QStandardItem* group = row(GroupKind);
        rules.appendRow(group);
        group->appendRow(row(2));
        QStandardItem* spacer = row(0);
        spacer->setData(1, GroupEndRole);
        group->appendRow(spacer);
        groupEnd = spacer->index();
    }

    void controllerRules()
    {
        const QModelIndex tavSource = lastTav;
        QVERIFY(!View::canMoveTo(tavSource, plcWithModules));
        // Followed by a module or by a PLC row: the controller would take over that bus.
        QVERIFY(!View::canMoveTo(tavSource, controllerA));
        QVERIFY(!View::canMoveTo(tavSource, moduleB));
        // Followed by another controller, by the add row, or by nothing.
        QVERIFY(View::canMoveTo(tavSource, moduleA));
        QVERIFY(View::canMoveTo(tavSource, plc));
        QVERIFY(View::canMoveTo(tavSource, lastTav));
        QVERIFY(View::canMoveTo(tavSource, groupEnd));
        // A PLC goes everywhere among device rows.
        for (const QModelIndex& target : {controllerA, moduleA, plcWithModules, plc, lastTav})
            QVERIFY(View::canMoveTo(plc, target));
    }

    // The PLC is followed by a controller, so that only its own modules decide.
    void controllerOntoAPlc_data()
    {
        QTest::addColumn<int>("modules");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("PLC without modules") << 0 << true;
        QTest::newRow("PLC with one module") << 1 << false;
        QTest::newRow("PLC with two modules") << 2 << false;
    }

    void controllerOntoAPlc()
    {
        QFETCH(int, modules);
        QFETCH(bool, accepted);
        QStandardItemModel tree;
        QStandardItem* target = row(Device::PlcClass);
        target->setData(modules, ModuleCountRole);
        tree.appendRow(target);
        tree.appendRow(row(Device::TavClass));
        QStandardItem* source = row(Device::TavClass);
        tree.appendRow(source);
        QCOMPARE(View::canMoveTo(source->index(), target->index()), accepted);
    }

    void moduleRules()
    {
        // Same owner: accepted whatever the reserve.
        const QModelIndex sibling = moduleOf(ownerB, 900);
        QVERIFY(View::canMoveTo(sibling, moduleB));
        // Another controller's bus: only within its reserve (500 for A, 100 for B).
        QVERIFY(View::canMoveTo(moduleB, moduleA));
        QVERIFY(!View::canMoveTo(moduleA, moduleB));
        // A controller row and a group's spacer have no owner row: reserve 0.
        QVERIFY(!View::canMoveTo(moduleA, controllerA));
        QVERIFY(!View::canMoveTo(moduleA, groupEnd));
        QVERIFY(View::canMoveTo(moduleOf(QUuid(), 0), controllerA));
        rules.removeRow(rules.rowCount() - 1);
        rules.removeRow(sibling.row());
    }

    void onlyDeviceRowsAndSpacersTakeDrops()
    {
        QVERIFY(View::isDraggable(moduleA));
        QVERIFY(View::isDraggable(groupEnd));
        QVERIFY(!View::isDraggable(addRow));
        QVERIFY(!View::isDraggable(rules.index(rules.rowCount() - 1, 0)));
    }

    void dragPictureIsADarkBoxWithTheRowText()
    {
        TreeViewFixture f;
        f.load(controllerWithModules(tav, pex, 0, 1));
        f.view.show();
        const QModelIndex module = f.model.index(1, 0);
        const QRect r = f.view.visualRect(module);
        const QImage picture = f.view.dragPixmap(module).toImage();
        QCOMPARE(picture.size(), QSize(r.width() - 67, r.height() - 2));
        QCOMPARE(picture.pixelColor(0, 0), QColor(0x2b2d30));
        QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() - 1), QColor(0x2b2d30));
        QCOMPARE(picture.pixelColor(picture.width() - 4, 3), QColor(0x555a60));
        bool whiteText = false;
        for (int x = 3; x < picture.width() / 2 && !whiteText; ++x) {
            for (int y = 2; y < picture.height() - 2 && !whiteText; ++y)
                whiteText = picture.pixelColor(x, y).lightness() > 200;
        }
        QVERIFY(whiteText);
    }

    void theModelMakesTheMoveFromTheFinalPair()
    {
        TreeViewFixture f;
        const QList<DeviceHandle> first = controllerWithModules(tav, pex, 0, 1);
        const QList<DeviceHandle> second = controllerWithModules(tav, pex, 1, 1);
        const DeviceHandle third = handleOf(tav, 2);
        f.load(first + second + QList<DeviceHandle>{third});
        QSignalSpy moved(&f.model, &Model::busMove);

        // The drop was refused or went outside: the marks go, the order stays.
        const QModelIndex source = f.model.index(4, 0);
        emit f.view.startMove(source);
        QCOMPARE(source.data(DragSourceRole).toInt(), 1);
        emit f.view.moveDest(f.model.index(1, 0));
        QCOMPARE(f.model.index(1, 0).data(DropTargetRole).toInt(), 1);
        emit f.view.finishMove(source, QModelIndex());
        QCOMPARE(moved.count(), 0);
        QCOMPARE(source.data(DragSourceRole).toInt(), 0);
        QCOMPARE(f.model.index(1, 0).data(DropTargetRole).toInt(), 0);

        // The last controller dropped on the first controller's module lands behind it.
        f.view.resetButtons();
        emit f.view.startMove(source);
        emit f.view.finishMove(source, f.model.index(1, 0));
        QCOMPARE(moved.count(), 1);
        const QList<DeviceHandle> order = moved.at(0).at(0).value<QList<DeviceHandle>>();
        QCOMPARE(order.size(), 5);
        QCOMPARE(order.at(2).id, third.id);
        QCOMPARE(order.at(2).number, 1);
    }

    void groupsKeepTheirStateByName()
    {
        TreeViewFixture f;
        const QList<DeviceHandle> a = inGroup(controllerWithModules(tav, pex, 0, 1), "A");
        const QList<DeviceHandle> b = inGroup(controllerWithModules(tav, pex, 1, 1), "B");
        f.load(a + b);
        const auto group = [&f](int r) { return f.model.index(r, 0); };
        QVERIFY(f.view.isExpanded(group(0)) && f.view.isExpanded(group(1)));
        f.view.collapse(group(0));
        QVERIFY(!f.view.onlyThisExpanded(group(0)));
        QVERIFY(f.view.onlyThisExpanded(group(1)));

        f.load(a + b);
        QVERIFY(!f.view.isExpanded(group(0)));
        QVERIFY(f.view.isExpanded(group(1)));

        // A new name is a new group: shown expanded.
        f.load(inGroup(a, "C") + b);
        QVERIFY(f.view.isExpanded(group(0)));
        f.load(a + b);
        QVERIFY(!f.view.isExpanded(group(0)));

        f.view.collapseOther(group(1));
        QVERIFY(!f.view.isExpanded(group(0)));
        QVERIFY(f.view.isExpanded(group(1)));
    }
};

QTEST_MAIN(SystemTreeDragTest)
#include "tst_systemtreedrag.moc"
