// What the system page keeps for the user: a duplicated module carries every channel's settings,
// and a port change made elsewhere leaves the chosen row chosen.
#include "resourceconfigurator/resourcefixture.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systempagefixture.h"

#include <QtTest>

using namespace SystemFixture;

namespace {

struct Page
{
    SystemModel system;
    QUndoStack stack;
    SystemConfigurator page{&system};

    Page() { QObject::connect(&page, &SystemConfigurator::changeSystem, &stack, &QUndoStack::push); }
    QModelIndex row(const NodeId_t& id) const { return page.treeModel()->rowOfDevice().value(id); }
    QList<NodeId_t> selectedIds() const
    {
        QList<NodeId_t> ids;
        for (const QModelIndex& r : page.view()->selectionModel()->selectedRows(0))
            ids << page.treeModel()->rowOfDevice().key(r);
        return ids;
    }
};

// Settings unlike the defaults and unlike the neighbour's, so a channel left out shows.
void giveOwnSettings(const IoResource::Ptr_t& r, int k)
{
    AbstractConfig c;
    r->exportConfig(c);
    c.ain.onePole = qint16(3 + k);
    c.ain.median = 1;
    c.aout.save = quint16(1000 + k);
    c.din.filterOn = true;
    c.din.filter = quint16(5 + k);
    c.dout.save = 1;
    r->importConfig(c);
}

bool sameSettings(const IoResource::Ptr_t& a, const IoResource::Ptr_t& b)
{
    AbstractConfig x;
    AbstractConfig y;
    a->exportConfig(x);
    b->exportConfig(y);
    return x.kind == y.kind && x.ain == y.ain && x.aout == y.aout && x.din == y.din
           && x.dout == y.dout;
}

} // namespace

class SystemPageKeepsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

private slots:
    void initTestCase()
    {
        ResourceFixture::loadCatalogue();
        QVERIFY(pickBusTypes(tav, pex, 1));
    }

    void duplicateCopiesEveryChannel_data()
    {
        QTest::addColumn<DeviceType_t>("module");
        QTest::newRow("analogue inputs and outputs") << ResourceFixture::kPex5000;
        QTest::newRow("discrete inputs and outputs") << ResourceFixture::kPex2000;
    }

    void duplicateCopiesEveryChannel()
    {
        QFETCH(DeviceType_t, module);
        Page p;
        const QList<DeviceHandle> handles = appendController(p.system, tav, module, 1);
        const NodeId_t source = handles.at(1).id;
        const QList<IoResource::Ptr_t> channels = p.system.deviceResources(source, false);
        QVERIFY(channels.size() > 1);
        for (int k = 0; k < channels.size(); ++k)
            giveOwnSettings(channels.at(k), k);
        p.page.reloadSystem();
        // A module is cloned with its controller.
        p.page.onDuplicateDevices({p.row(handles.at(0).id), p.row(source)});

        NodeId_t clone;
        for (const DeviceHandle& h : p.system.deviceHandles())
            if (h.type == module && h.id != source)
                clone = h.id;
        QVERIFY(!clone.isNull());
        const QList<IoResource::Ptr_t> copies = p.system.deviceResources(clone, false);
        QCOMPARE(copies.size(), channels.size());
        for (int k = 0; k < channels.size(); ++k)
            QVERIFY2(sameSettings(channels.at(k), copies.at(k)), qPrintable(QString::number(k)));
    }

    // Rows: 0 controller A, 1 its module, 2 controller B, 3 its module. The system's ports are
    // listed with controller A.
    void portChangeKeepsTheChosenRow_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::newRow("controller holding the ports") << 0;
        QTest::newRow("other controller") << 2;
        QTest::newRow("module of the other controller") << 3;
    }

    void portChangeKeepsTheChosenRow()
    {
        QFETCH(int, chosen);
        Page p;
        const QList<DeviceHandle> handles = appendController(p.system, tav, pex, 1)
                                            + appendController(p.system, tav, pex, 1);
        p.page.reloadSystem();
        const NodeId_t id = handles.at(chosen).id;
        p.page.view()->selectionModel()->select(p.row(id), QItemSelectionModel::ClearAndSelect);
        const IoResource::Ptr_t port = p.system.serialPorts().value(0);
        QVERIFY(port);
        AbstractConfig config;
        port->exportConfig(config);
        config.port.delay = 77;
        p.page.onSystemResourceChanging({{port, config}});
        QCOMPARE(p.stack.count(), 1);
        QCOMPARE(p.selectedIds(), QList<NodeId_t>{id});
        p.stack.undo();
        QCOMPARE(p.selectedIds(), QList<NodeId_t>{id});
        p.stack.redo();
        QCOMPARE(p.selectedIds(), QList<NodeId_t>{id});
    }
};

QTEST_MAIN(SystemPageKeepsTest)
#include "tst_systempagekeeps.moc"
