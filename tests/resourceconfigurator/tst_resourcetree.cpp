// The resource tree model and its filtering proxy: tree shapes, roles, live texts, the proxy's
// acceptance and order rules, each under QAbstractItemModelTester.
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
        AbstractValue v;
        ain->exportValue(v);
        v.ain.freeze = 1;
        v.ain.status = 1;
        ain->importValue(v);
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
            AbstractValue dv;
            discrete->exportValue(dv);
            dv.din.value = 1;
            dv.din.counter = 1234;
            dv.dout.value = 1;
            discrete->importValue(dv);
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
