// The system tree model in the program's own mode (I/O-board budget): rows, roles, groups, the
// requests it turns row actions into, and the board limits.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/treerole.h"
#include "systemfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

QStringList texts(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList out;
    for (int i = 0; i < model.rowCount(parent); ++i)
        out << model.index(i, 0, parent).data().toString();
    return out;
}

DeviceTemplate withBoards(int boards)
{
    DeviceTemplate tpl;
    for (int i = 0; i < boards; ++i)
        tpl.boardIds << 10;
    return tpl;
}

} // namespace

class SystemTreeModelTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    DeviceTemplate tavTpl;
    DeviceTemplate pexTpl;

private slots:
    void initTestCase()
    {
        QVERIFY(pickBusTypes(tav, pex));
        QCOMPARE(SettingsProvider::instance().mode, 1);
        QVERIFY(SettingsProvider::instance().deviceTemplate(tav, -1, &tavTpl, true));
        QVERIFY(SettingsProvider::instance().deviceTemplate(pex, -1, &pexTpl, true));
    }

    void controllersAndModulesGiveNumberedRows()
    {
        Model model;
        QSignalSpy reset(&model, &Model::systemReset);
        QSignalSpy groups(&model, &Model::detectedGroups);
        const QList<DeviceHandle> c0 = controllerWithModules(tav, pex, 0, 1);
        const QList<DeviceHandle> c1 = controllerWithModules(tav, pex, 1, 1);
        model.rebuild(c0 + c1);

        const QString t = tavTpl.name;
        const QString p = pexTpl.name;
        QCOMPARE(texts(model), QStringList({t, "0.1." + p, "1." + t, "1.1." + p,
                                            "Выберите устройство"}));
        QCOMPARE(reset.count(), 1);
        QCOMPARE(groups.last().at(0).toBool(), false);
        QCOMPARE(model.boardsInUse(), 6);

        const int reserve = tavTpl.pgen - tavTpl.preq - pexTpl.preq;
        const QList<DeviceHandle> all = c0 + c1;
        for (int row = 0; row < 4; ++row) {
            const QModelIndex i = model.index(row, 0);
            const bool controller = row % 2 == 0;
            const DeviceTemplate& tpl = controller ? tavTpl : pexTpl;
            QCOMPARE(i.data(KindRole).toInt(), controller ? 2 : 3);
            QCOMPARE(i.data(TypeRole).toUInt(), all[row].type);
            QCOMPARE(i.data(RevisionRole).toInt(), -1);
            QCOMPARE(i.data(BoardCountRole).toInt(), tpl.boardIds.size());
            QCOMPARE(i.data(EditButtonRole).toInt(), 1);
            QCOMPARE(i.data(CloseButtonRole).toInt(), 1);
            QCOMPARE(i.data(AddRowRole).toInt(), 0);
            QCOMPARE(i.data(IdRole).toUuid(), all[row].id);
            QCOMPARE(i.data(OwnerRole).toUuid(), all[row].owner);
            QCOMPARE(i.data(ModuleCountRole).toInt(), controller ? 1 : 0);
            QCOMPARE(i.data(OwnerIndexRole).toModelIndex(),
                     controller ? QModelIndex() : model.index(row - 1, 0));
            QCOMPARE(i.data(PowerReserveRole).toInt(), controller ? reserve : 0);
            QCOMPARE(i.data(PowerRequiredRole).toInt(), tpl.preq);
            QCOMPARE(i.data(PowerBalanceRole).toInt(), tpl.pgen - tpl.preq);
            QVERIFY(!i.data(GroupRowRole).isValid());
            QCOMPARE(model.rowOfDevice().value(all[row].id), i);
        }
        const QModelIndex add = model.index(4, 0);
        QCOMPARE(add.data(AddRowRole).toInt(), 1);
        QCOMPARE(add.data(KindRole).toInt(), 0);
        QCOMPARE(add.data(PowerReserveRole).toInt(), reserve);
        QCOMPARE(add.data(PowerBalanceRole).toInt(), tavTpl.pgen - tavTpl.preq);
        QCOMPARE(model.rowOfPath().keys(), QStringList({"/0", "/0/1", "/1", "/1/1"}));
        QCOMPARE(model.moduleCount().value(c1[0].id), 1);
        QCOMPARE(model.modulesOf().values(c0[0].id), QList<NodeId_t>({c0[1].id}));
    }

    void groupsHoldTheirDevicesAndASpacer()
    {
        Model model;
        QSignalSpy groups(&model, &Model::detectedGroups);
        const QList<DeviceHandle> c0 = controllerWithModules(tav, pex, 0, 1);
        model.rebuild({grouped(c0[0], "pumps"), grouped(c0[1], "pumps")});
        QCOMPARE(texts(model), QStringList({"pumps", "Выберите устройство"}));
        QCOMPARE(groups.last().at(0).toBool(), true);
        const QModelIndex g = model.index(0, 0);
        QCOMPARE(g.data(GroupRowRole).toInt(), 1);
        QCOMPARE(g.data(KindRole).toInt(), GroupKind);
        QCOMPARE(g.data(AddRowRole).toInt(), 0);
        QVERIFY(!g.data(IdRole).isValid());
        QCOMPARE(model.rowCount(g), 3);
        QCOMPARE(texts(model, g).mid(0, 2), QStringList({tavTpl.name, "0.1." + pexTpl.name}));
        const QModelIndex spacer = model.index(2, 0, g);
        QCOMPARE(spacer.data(GroupEndRole).toInt(), 1);
        QCOMPARE(spacer.data(AddRowRole).toInt(), 0);
        QVERIFY(spacer.data(IdRole).toUuid().isNull());
        QCOMPARE(model.groupRows().value(g), QString("pumps"));
        QCOMPARE(model.index(1, 0, g).data(OwnerIndexRole).toModelIndex(), model.index(0, 0, g));
    }

    void aGroupNameThatComesBackKeepsEveryRow()
    {
        // Bus: A(g1) B(g2) C(g1) D E("none"): "none" is a group name like any other.
        QList<DeviceHandle> bus;
        for (int i = 0; i < 5; ++i)
            bus << handleOf(tav, i);
        bus[0].group = bus[2].group = "g1";
        bus[1].group = "g2";
        bus[4].group = "none";
        Model model;
        model.rebuild(bus);
        QCOMPARE(texts(model), QStringList({"g1", "g2", "3." + tavTpl.name, "none",
                                            "Выберите устройство"}));
        QCOMPARE(texts(model, model.index(0, 0)),
                 QStringList({tavTpl.name, "2." + tavTpl.name, QString()}));
        QCOMPARE(model.rowCount(model.index(1, 0)), 2);
        QCOMPARE(model.rowCount(model.index(3, 0)), 2);
        QCOMPARE(model.rowOfDevice().size(), 5);
    }

    void rowActionsBecomeRequests()
    {
        const QList<DeviceHandle> c0 = controllerWithModules(tav, pex, 0, 2);
        const QList<DeviceHandle> c1 = controllerWithModules(tav, pex, 1, 1);
        QList<DeviceHandle> bus = c0 + c1;
        bus[3].group = bus[4].group = "g";
        Model model;
        model.rebuild(bus);
        QSignalSpy removed(&model, &Model::removeDev);
        QSignalSpy renamed(&model, QOverload<const QList<DeviceHandle>&>::of(&Model::renameGroup));
        QSignalSpy edited(&model, &Model::editType);

        model.removeRow(model.index(0, 0));
        QCOMPARE(removed.count(), 1);
        const auto list = removed.last().at(0).value<QList<DeviceHandle>>();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[2].id, c0[2].id);

        // The spacer and the add row carry no id: nothing is removed.
        const QModelIndex group = model.index(3, 0);
        model.removeRow(model.index(2, 0, group));
        model.removeRow(model.index(4, 0));
        QCOMPARE(removed.count(), 1);

        // Closing a group dissolves it.
        model.removeRow(group);
        QCOMPARE(renamed.count(), 1);
        const auto members = renamed.last().at(0).value<QList<DeviceHandle>>();
        QCOMPARE(members.size(), 2);
        QVERIFY(members[0].group.isEmpty() && members[1].group.isEmpty());

        model.changeType(model.index(0, 0), tav, -1);
        QCOMPARE(edited.count(), 0);
        model.changeType(model.index(0, 0), tav, 3);
        QCOMPARE(edited.last().at(1).value<DeviceHandle>().revision, 3);
        QCOMPARE(edited.last().at(1).value<DeviceHandle>().id, c0[0].id);
    }

    void newDevicesTakeTheirPlaceOnTheBus()
    {
        const QList<DeviceHandle> c0 = controllerWithModules(tav, pex, 0, 2);
        QList<DeviceHandle> c1 = controllerWithModules(tav, pex, 1, 1);
        c1[0].group = c1[1].group = "g";
        Model model;
        model.rebuild(c0 + c1);
        QSignalSpy added(&model, &Model::addDev);

        model.addDevices(model.index(model.rowCount() - 1, 0), pex, -1, 2);
        auto list = added.last().at(0).value<QList<DeviceHandle>>();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].owner, c1[0].id);
        QCOMPARE(list[0].number, 2);
        QCOMPARE(list[1].number, 3);
        QCOMPARE(list[1].group, QString("g"));

        model.addDevices(model.index(model.rowCount() - 1, 0), tav, -1, 1);
        list = added.last().at(0).value<QList<DeviceHandle>>();
        QVERIFY(list[0].owner.isNull());
        QCOMPARE(list[0].number, 2);

        model.addPexToDevice(model.index(1, 0), pex, -1);
        list = added.last().at(0).value<QList<DeviceHandle>>();
        QCOMPARE(list[0].owner, c0[0].id);
        QCOMPARE(list[0].number, 3);
    }

    void boardBudgetLimitsAdding()
    {
        Model model;
        model.rebuild({});
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 0).data(KindRole).toInt(), 2);

        // Ten controllers of two boards: 20 of 22 boards in use.
        QList<DeviceHandle> bus;
        for (int i = 0; i < 10; ++i)
            bus << handleOf(tav, i);
        model.rebuild(bus);
        QCOMPARE(model.boardsInUse(), 20);
        QVERIFY(model.canAdd());
        QCOMPARE(model.addableCount(3, withBoards(4)), 0);
        QCOMPARE(model.addableCount(3, withBoards(1)), 2);
        // A type without boards uses none of the budget.
        QCOMPARE(model.addableCount(3, withBoards(0)), 3);

        bus << handleOf(tav, 10);
        model.rebuild(bus);
        QVERIFY(!model.canAdd());
        QCOMPARE(model.index(model.rowCount() - 1, 0).data(AddRowRole).toInt(), 0);
        QSignalSpy added(&model, &Model::addDev);
        model.addDevices(model.index(0, 0), tav, -1, 1);
        QVERIFY(added.last().at(0).value<QList<DeviceHandle>>().isEmpty());
    }

    void rebuildsKeepTheModelConsistent()
    {
        Model model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QList<DeviceHandle> bus = controllerWithModules(tav, pex, 0, 2)
            + controllerWithModules(tav, pex, 1, 1) + controllerWithModules(tav, pex, 2, 0);
        model.rebuild(bus);
        bus[1].group = bus[4].group = "a";
        bus[2].group = "b";
        model.rebuild(bus);
        model.startMove(model.index(1, 0));
        model.moveDest(model.index(0, 0, model.index(0, 0)));
        // A rebuild in the middle of a drag leaves no marker pointing into the old rows.
        model.rebuild(bus.mid(0, 3));
        model.finishMove(QModelIndex(), QModelIndex());
        model.setRowButtons();
        model.rebuild({});
        QCOMPARE(model.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(SystemTreeModelTest)
#include "tst_systemtreemodel.moc"
