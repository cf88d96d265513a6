// The resource tree model and its filtering proxy: tree shapes, roles, live texts, the proxy's
// acceptance and order rules, each under QAbstractItemModelTester.
#include "editorfixture.h"
#include "model/ain.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

using namespace ResourceFixture;
using EditorFixture::setValue;
using ResourceConfiguration::Model;

namespace {

QStringList texts(const QAbstractItemModel* m, const QModelIndex& parent = QModelIndex())
{
    QStringList out;
    for (int row = 0; row < m->rowCount(parent); ++row)
        out << m->index(row, 0, parent).data().toString();
    return out;
}

// The kinds of a device row's visible resources, in view order.
QList<int> kindsUnder(const QAbstractItemModel* m, const QModelIndex& device)
{
    QList<int> out;
    for (int row = 0; row < m->rowCount(device); ++row)
        out << m->index(row, 0, device).data(Model::KindRole).toInt();
    return out;
}

// A top-level row holding resource rows of the given kinds, as the proxy sees roles.
QStandardItem* syntheticDevice(const QList<int>& kinds)
{
    auto* device = new QStandardItem(QStringLiteral("device"));
    device->setData(Model::DeviceItem, Model::ItemTypeRole);
    device->setData(Model::DeviceKind, Model::KindRole);
    for (int i = 0; i < kinds.size(); ++i) {
        auto* r = new QStandardItem(QStringLiteral("r%1").arg(i));
        r->setData(Model::ResourceItem, Model::ItemTypeRole);
        r->setData(kinds[i], Model::KindRole);
        device->appendRow(r);
    }
    return device;
}

QStringList numbered(const QString& pattern, int first, int last)
{
    QStringList out;
    for (int i = first; i <= last; ++i)
        out << pattern.arg(i);
    return out;
}

} // namespace

namespace {
IoResource::Ptr_t ofKindAnywhere(SystemModel& system, int kind)
{
    for (const IoResource::Ptr_t& r : system.resources()) {
        if (r->kind() == kind)
            return r;
    }
    return IoResource::Ptr_t();
}
} // namespace

class ResourceTreeTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { loadCatalogue(); }

    void groupedUngroupedAndInterleavedShapes_data()
    {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("top");
        QTest::addColumn<QList<int>>("children");
        QTest::newRow("ungrouped") << QStringList{"", "", "", ""}
                                   << QStringList{"c", "m1", "m2", "m3"} << QList<int>{};
        QTest::newRow("grouped") << QStringList{"A", "A", "", "B"}
                                 << QStringList{"A", "m2", "B"} << QList<int>{3, 2};
        // The same group again after another one: one row of A holds both of its devices.
        QTest::newRow("interleaved") << QStringList{"A", "B", "A", ""}
                                     << QStringList{"A", "B", "m3"} << QList<int>{3, 2};
    }

    void groupedUngroupedAndInterleavedShapes()
    {
        QFETCH(QStringList, groups);
        QFETCH(QStringList, top);
        QFETCH(QList<int>, children);
        SystemModel system;
        const System s = build(system, groups);
        const QMap<QString, QString> names{{"c", s.controller->displayName(0)},
                                           {"m1", s.m1->displayName(0)},
                                           {"m2", s.m2->displayName(0)},
                                           {"m3", s.m3->displayName(0)}};
        Model model(&system);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList expected;
        for (const QString& t : top)
            expected << names.value(t, t);
        QCOMPARE(texts(&model), expected);
        int group = 0;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, 0);
            if (index.data(Model::ItemTypeRole).toInt() != Model::GroupItem)
                continue;
            QCOMPARE(model.rowCount(index), children.value(group++));
            const QModelIndex spacer = model.index(model.rowCount(index) - 1, 0, index);
            QCOMPARE(spacer.data(Model::SpacerRole).toInt(), 1);
            QCOMPARE(model.columnCount(index), 1);
        }
        // Every device and every resource has its row, wherever its group stands.
        QCOMPARE(model.indexes(system.devices().keys()).size(), 4);
        QCOMPARE(model.indexes(system.resources().keys()).size(), system.resources().size());
    }

    void rolesOfDeviceAndResourceRows()
    {
        SystemModel system;
        const System s = build(system);
        Model model(&system);
        const QModelIndex device = model.indexes({s.m2->id()}).first();
        QCOMPARE(device.data().toString(), s.m2->displayName(0));
        QCOMPARE(device.data(Model::ItemTypeRole).toInt(), int(Model::DeviceItem));
        QCOMPARE(device.data(Model::ExpanderRole).toInt(), 1);
        QCOMPARE(device.data(Model::KindRole).toInt(), Model::DeviceKind);
        QCOMPARE(device.data(Model::DeviceClassRole).toInt(), int(Device::PexClass));
        QCOMPARE(device.data(Qt::SizeHintRole).toSize(), QSize(50, 28));
        QCOMPARE(model.columnCount(device), 2);
        QCOMPARE(model.device(device), s.m2);
        QVERIFY(!model.resource(device));

        const IoResource::Ptr_t ain = ofKind(system, s.m2, ResourceKind::Ain).first();
        const QModelIndex row = model.indexes({ain->id()}).first();
        QCOMPARE(row.data().toString(), ain->valueText().value(0));
        QCOMPARE(row.data(Model::ItemTypeRole).toInt(), int(Model::ResourceItem));
        QCOMPARE(row.data(Model::IdRole).toUuid(), ain->id());
        QCOMPARE(row.data(Model::NumberRole).toInt(), ain->index());
        QCOMPARE(row.data(Model::ExpanderRole).toInt(), 0);
        QCOMPARE(row.sibling(row.row(), 1).data(Model::KindRole).toInt(), int(ResourceKind::Ain));
        QCOMPARE(model.resource(row), ain);
        QCOMPARE(model.ownerDevice(row), s.m2);
        QVERIFY(!model.device(row));
        QVERIFY(Model::isExpandable(device));
        QVERIFY(!Model::isExpandable(row));
        // Labels are read live: a coupling shows without a rebuild.
        ain->setCoupled(true);
        QVERIFY(row.data(Model::CoupledRole).toBool());
        QCOMPARE(row.data().toString(), ain->valueText().value(0));
    }

    void liveTextsAndRefreshes()
    {
        SystemModel system;
        const System s = build(system);
        Model model(&system);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setMonitoring(true);
        QCOMPARE(model.columnCount(), 2);
        const IoResource::Ptr_t ain = ofKind(system, s.m2, ResourceKind::Ain).first();
        setValue(ain, [](AbstractValue& v) {
            v.ain.freeze = 1;
            v.ain.status = 1;
        });
        const IoResource::Ptr_t aout = ofKind(system, s.m1, ResourceKind::Aout).first();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.updateValues({ain->id(), aout->id(), QUuid::createUuid()});
        const QMap<int, QString> t = ain->valueText();
        const QModelIndex row = model.indexes({ain->id()}).first();
        QCOMPARE(row.data(Model::StatusRole).toString(), t.value(1));
        QVERIFY(t.value(1).contains(QLatin1String("freeze")));
        const QModelIndex cell = row.sibling(row.row(), 1);
        QCOMPARE(cell.data(Model::ValueRole).toString(), t.value(2));
        QCOMPARE(cell.data(Model::SecondValueRole).toString(), t.value(3));
        const QModelIndex aoutCell = model.indexes({aout->id()}).first().siblingAtColumn(1);
        QCOMPARE(aoutCell.data(Model::SecondValueRole).toString(), QString());
        QVERIFY(changed.count() > 0);

        // Discrete rows show their state as the bar and a discrete input's counter beside it.
        for (const int kind : {int(ResourceKind::Din), int(ResourceKind::Dout)}) {
            const IoResource::Ptr_t discrete = ofKindAnywhere(system, kind);
            QVERIFY(discrete);
            setValue(discrete, [](AbstractValue& v) {
                v.din.value = 1;
                v.din.counter = 1234;
                v.dout.value = 1;
            });
            model.updateValues({discrete->id()});
            const QModelIndex dcell = model.indexes({discrete->id()}).first().siblingAtColumn(1);
            QCOMPARE(dcell.data(Model::ValueRole).toString(), QStringLiteral("1"));
            QCOMPARE(dcell.data(Model::SecondValueRole).toString(),
                     kind == ResourceKind::Din ? QStringLiteral("1234") : QString());
            QCOMPARE(dcell.data(Model::StatusRole).toString(), QString());
        }

        // Monitoring off takes the value column and its texts; the label keeps its status until
        // the tree is rebuilt.
        model.setMonitoring(false);
        model.setMonitoring(true);
        const QModelIndex again = model.indexes({ain->id()}).first();
        QCOMPARE(again.siblingAtColumn(1).data(Model::ValueRole).toString(), QString());
        QCOMPARE(again.siblingAtColumn(1).data(Model::StatusRole).toString(), QString());
        QCOMPARE(again.data(Model::StatusRole).toString(), t.value(1));
        model.reload();
        QCOMPARE(model.indexes({ain->id()}).first().data(Model::StatusRole).toString(), QString());
        model.updateValues({ain->id()});

        changed.clear();
        model.updateValues({QUuid::createUuid()});
        model.refreshRows({QUuid::createUuid()});
        QCOMPARE(changed.count(), 0);
        // Rows under two devices: one announcement per parent.
        model.refreshRows({ain->id(), aout->id(), ofKind(system, s.m2, ResourceKind::Ain).last()->id()});
        QCOMPARE(changed.count(), 2);
        model.reload();
        model.setMonitoring(false);
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.indexes({ain->id()}).size(), 1);

        SystemModel empty;
        Model none(&empty);
        QCOMPARE(none.rowCount(), 0);
    }

    void proxyHidesPortsSecondariesAndOrdersByKind()
    {
        SystemModel system;
        const System s = build(system, {"A", "A", "", ""});
        Model model(&system);
        FilteringProxyModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&model);
        proxy.sort(0);
        const IoResource::Ptr_t ain = ofKind(system, s.m2, ResourceKind::Ain).first();
        ain->setCoupled(true);
        proxy.invalidate();

        const QModelIndex controller = proxy.mapFromSource(model.indexes({s.controller->id()}).first());
        const QList<int> kinds = kindsUnder(&proxy, controller);
        QVERIFY(!kinds.contains(ResourceKind::SerialPort));
        QList<int> sorted = kinds;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(kinds, sorted);
        const QModelIndex m2 = proxy.mapFromSource(model.indexes({s.m2->id()}).first());
        QCOMPARE(proxy.rowCount(m2), ofKind(system, s.m2, ResourceKind::Ain).size() - 1
                                         + ofKind(system, s.m2, ResourceKind::Aout).size());
        QVERIFY(!proxy.mapFromSource(model.indexes({ain->partner()->id()}).first()).isValid());
        // Resource numbers ascend within a kind.
        QCOMPARE(proxy.index(0, 0, m2).data(Model::NumberRole).toInt(), ain->index());

        // Discrete inputs only: a device inside a group stays without rows, an ungrouped device
        // with none of the kind disappears.
        QSignalSpy filter(&proxy, &FilteringProxyModel::setFilter);
        proxy.doFilterType({0, 1, 3}, true);
        QCOMPARE(filter.last().first().toBool(), true);
        QVERIFY(!proxy.mapFromSource(model.indexes({s.m2->id()}).first()).isValid());
        const QModelIndex m1 = proxy.mapFromSource(model.indexes({s.m1->id()}).first());
        QVERIFY(m1.isValid());
        QCOMPARE(kindsUnder(&proxy, m1), QList<int>({2, 2, 2, 2, 2, 2, 2, 2}));
        QVERIFY(proxy.wouldHide({model.indexes({ain->id()}).first()}));
        QVERIFY(!proxy.wouldHide(model.indexes({ofKind(system, s.m1, ResourceKind::Din).first()->id()})));

        proxy.doFilterType({}, false);
        QCOMPARE(filter.last().first().toBool(), false);
        QVERIFY(!proxy.hasFilter());
        QVERIFY(!proxy.wouldHide({model.indexes({ain->id()}).first()}));

        // Rows hidden one by one; the reset brings them back.
        const QModelIndex din = model.indexes({ofKind(system, s.m3, ResourceKind::Din).first()->id()}).first();
        proxy.doFilterIndex({din}, true);
        QVERIFY(!proxy.mapFromSource(din).isValid());
        QVERIFY(proxy.hasFilter());
        proxy.resetAllFilters();
        QVERIFY(proxy.mapFromSource(din).isValid());
        QCOMPARE(filter.last().first().toBool(), false);
    }

    // What a device row shows under it, in the order shown: resources by kind, then number,
    // whatever order the device lists them in (the controller lists AIN7 and AIN8 first, the
    // modules their outputs first).
    void devicesShowTheirResourcesInKindOrder_data()
    {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QList<int>>("hiddenKinds");
        QTest::addColumn<QStringList>("controller");
        QTest::addColumn<QStringList>("m1");
        QTest::addColumn<QStringList>("m2");
        const QStringList ains = numbered("AIN%1 (0-10)", 1, 8);
        const QStringList aouts = numbered("AOUT%1", 1, 2);
        const QStringList dins = numbered("DIN%1", 1, 8);
        const QStringList controllerDouts =
            numbered("DOUT%1", 1, 6) + QStringList{"DOUT7 (Opto)", "DOUT8 (Opto)"};
        const QStringList moduleDouts{"DOUT1", "DOUT2", "DOUT3 (Opto)", "DOUT4 (Opto)"};
        QTest::newRow("ungrouped") << QStringList{"", "", "", ""} << QList<int>{}
                                   << ains + aouts + dins + controllerDouts
                                   << aouts + dins + moduleDouts << ains + aouts;
        QTest::newRow("grouped") << QStringList{"A", "A", "B", ""} << QList<int>{}
                                 << ains + aouts + dins + controllerDouts
                                 << aouts + dins + moduleDouts << ains + aouts;
        QTest::newRow("outputs hidden") << QStringList{"A", "A", "", ""}
                                        << QList<int>{ResourceKind::Aout, ResourceKind::Dout}
                                        << ains + dins << dins << ains;
        // A device left with nothing to show leaves the top level.
        QTest::newRow("analogue hidden") << QStringList{"A", "A", "", ""}
                                         << QList<int>{ResourceKind::Ain, ResourceKind::Aout}
                                         << dins + controllerDouts << dins + moduleDouts
                                         << QStringList{"-"};
    }

    void devicesShowTheirResourcesInKindOrder()
    {
        QFETCH(QStringList, groups);
        QFETCH(QList<int>, hiddenKinds);
        QFETCH(QStringList, controller);
        QFETCH(QStringList, m1);
        QFETCH(QStringList, m2);
        SystemModel system;
        const System s = build(system, groups);
        Model model(&system);
        FilteringProxyModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&model);
        proxy.sort(0);
        if (!hiddenKinds.isEmpty())
            proxy.doFilterType(hiddenKinds, true);
        const auto shown = [&](const Device::Ptr_t& d) {
            const QModelIndex row = proxy.mapFromSource(model.indexes({d->id()}).value(0));
            return row.isValid() ? texts(&proxy, row) : QStringList{"-"};
        };
        QCOMPARE(shown(s.controller), controller);
        QCOMPARE(shown(s.m1), m1);
        QCOMPARE(shown(s.m2), m2);
    }

    // Which rows a value update or a refresh announces: one range per parent row, in the order
    // the parents first turn up, from the first to the last changed row. The tree is group A
    // (controller, m1), m2, m3; "m2:3" is the resource at position 3 of m2's list, "?" no row.
    void updatesAnnounceOneRangePerParent_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<bool>("refresh");
        QTest::addColumn<QStringList>("announced");
        QTest::newRow("one device backwards") << QStringList{"m2:7", "m2:3", "m2:0"} << false
                                              << QStringList{"m2:0-7"};
        QTest::newRow("two devices interleaved")
            << QStringList{"m1:6", "m2:9", "m1:0", "m2:8", "?"} << false
            << QStringList{"m1:0-6", "m2:8-9"};
        QTest::newRow("devices are no values") << QStringList{"m3", "c", "?"} << false
                                               << QStringList{};
        QTest::newRow("refresh in a group and on top") << QStringList{"m1", "c", "m3:2", "?"} << true
                                                       << QStringList{"A:0-1", "m3:2-2"};
        QTest::newRow("refresh of top rows") << QStringList{"m3", "m2"} << true
                                             << QStringList{"top:1-2"};
        QTest::newRow("refresh of no row") << QStringList{"?"} << true << QStringList{};
    }

    void updatesAnnounceOneRangePerParent()
    {
        QFETCH(QStringList, ids);
        QFETCH(bool, refresh);
        QFETCH(QStringList, announced);
        SystemModel system;
        const System s = build(system, {"A", "A", "", ""});
        const QMap<QString, Device::Ptr_t> devices{
            {"c", s.controller}, {"m1", s.m1}, {"m2", s.m2}, {"m3", s.m3}};
        QList<NodeId_t> list;
        for (const QString& id : ids) {
            const Device::Ptr_t d = devices.value(id.section(':', 0, 0));
            if (!d)
                list << QUuid::createUuid();
            else
                list << (id.contains(':') ? d->resourceIds().at(id.section(':', 1).toInt()) : d->id());
        }
        for (const IoResource::Ptr_t& r : system.resources()) {
            setValue(r, [](AbstractValue& v) {
                v.ain.value = 12.5;
                v.aout.value = 7;
                v.din.counter = 3;
            });
        }
        Model model(&system);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setMonitoring(true);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        if (refresh)
            model.refreshRows(list);
        else
            model.updateValues(list);

        QStringList seen;
        for (const QList<QVariant>& signal : qAsConst(changed)) {
            const QModelIndex first = signal.at(0).toModelIndex();
            const QModelIndex last = signal.at(1).toModelIndex();
            QCOMPARE(first.parent(), last.parent());
            QCOMPARE(first.column(), 0);
            QCOMPARE(last.column(), refresh ? 0 : 1);
            QCOMPARE(signal.at(2).value<QVector<int>>(),
                     refresh ? QVector<int>{}
                             : QVector<int>({Model::StatusRole, Model::ValueRole, Model::SecondValueRole}));
            const QModelIndex parent = first.parent();
            const QString name = !parent.isValid() ? QStringLiteral("top")
                : devices.key(system.device(parent.data(Model::IdRole).toUuid()), parent.data().toString());
            seen << QStringLiteral("%1:%2-%3").arg(name).arg(first.row()).arg(last.row());
        }
        QCOMPARE(seen, announced);
        // The announced rows show the resource's value; a discrete one shows its state there.
        for (const NodeId_t& id : list) {
            const IoResource::Ptr_t r = system.resource(id);
            if (!r || refresh)
                continue;
            const bool discrete = r->kind() == ResourceKind::Din || r->kind() == ResourceKind::Dout;
            const QModelIndex cell = model.indexes({id}).first().siblingAtColumn(1);
            QCOMPARE(cell.data(Model::ValueRole).toString(), r->valueText().value(discrete ? 1 : 2));
        }
    }

    // The view marks the expander of a group or device row while the mouse acts on it; the mark
    // reads back through the proxy and each change is announced once.
    void expanderMarksReadBack_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("unmarked");
        QTest::addColumn<bool>("expandable");
        QTest::newRow("group") << "group" << 1 << true;
        QTest::newRow("device") << "device" << 1 << true;
        QTest::newRow("resource") << "resource" << 0 << false;
    }

    void expanderMarksReadBack()
    {
        QFETCH(QString, row);
        QFETCH(int, unmarked);
        QFETCH(bool, expandable);
        SystemModel system;
        const System s = build(system, {"A", "A", "", ""});
        Model model(&system);
        FilteringProxyModel proxy;
        proxy.setSourceModel(&model);
        proxy.sort(0);
        const NodeId_t id = row == "device" ? s.m2->id() : ofKind(system, s.m2, ResourceKind::Ain).first()->id();
        const QModelIndex index = row == "group" ? proxy.index(0, 0)
                                                 : proxy.mapFromSource(model.indexes({id}).first());
        QCOMPARE(index.data(Model::ExpanderRole).toInt(), unmarked);
        QCOMPARE(Model::isExpandable(index), expandable);
        QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
        for (const int mark : {3, 3, 2, 1}) {
            QVERIFY(proxy.setData(index, mark, Model::ExpanderRole));
            QCOMPARE(index.data(Model::ExpanderRole).toInt(), mark);
        }
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.first().at(2).value<QVector<int>>(), QVector<int>{Model::ExpanderRole});
    }

    void proxyKeepsTopRowsWithTwoOrNoChildren()
    {
        QStandardItemModel source;
        source.appendRow(syntheticDevice({ResourceKind::Ain, ResourceKind::Ain}));
        source.appendRow(syntheticDevice({ResourceKind::Ain, ResourceKind::Ain, ResourceKind::Ain}));
        source.appendRow(syntheticDevice({}));
        source.appendRow(syntheticDevice({ResourceKind::Ain, ResourceKind::Din, ResourceKind::Ain}));
        FilteringProxyModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        proxy.doFilterType({ResourceKind::Ain}, true);
        QCOMPARE(proxy.rowCount(), 3);
        QCOMPARE(proxy.rowCount(proxy.index(0, 0)), 0);
        QCOMPARE(proxy.rowCount(proxy.index(2, 0)), 1);
    }
};

QTEST_MAIN(ResourceTreeTest)
#include "tst_resourcetree.moc"
