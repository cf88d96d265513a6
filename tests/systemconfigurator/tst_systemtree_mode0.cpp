// The system tree under another application name: the system is limited by device count (the
// bus addresses), not by I/O boards. The mode is fixed when the catalogue first loads, so these
// cases have their own process.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/treerole.h"
#include "systemfixture.h"

#include <QSignalSpy>
#include <QtTest>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

class SystemTreeMode0Test : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

    // One controller and its modules, then further controllers, `count` devices in all.
    QList<DeviceHandle> devices(int count) const
    {
        QList<DeviceHandle> bus = controllerWithModules(tav, pex, 0, qMin(count - 1, 200));
        for (int i = bus.size(); i < count; ++i)
            bus << handleOf(tav, i - 200);
        return bus;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(ModelFixture::loadCatalogueAs("Tav Configurator Test").mode, 0);
        tav = typeWithBoards(2, 2);
        pex = typeWithBoards(3, 2);
        QVERIFY(tav && pex);
    }

    void anEmptySystemOffersControllersOrPlcs()
    {
        Model model;
        model.rebuild({});
        QCOMPARE(model.index(0, 0).data(KindRole).toInt(), 1);
        QCOMPARE(model.freeAddressCount(), 245);
    }

    void deviceCountLimitsAdding()
    {
        Model model;
        DeviceTemplate tpl;
        QVERIFY(SettingsProvider::instance().deviceTemplate(pex, -1, &tpl, false));

        // Boards do not count here: 243 devices of two boards each are far past 22.
        model.rebuild(devices(243));
        QVERIFY(model.canAdd());
        QCOMPARE(model.freeAddressCount(), 2);
        QCOMPARE(model.addableCount(5, tpl), 2);
        QCOMPARE(model.addableCount(1, tpl), 1);
        QCOMPARE(model.index(model.rowCount() - 1, 0).data(AddRowRole).toInt(), 1);

        QSignalSpy added(&model, &Model::addDev);
        model.addDevices(model.index(model.rowCount() - 1, 0), pex, -1, 5);
        QCOMPARE(added.last().at(0).value<QList<DeviceHandle>>().size(), 2);

        model.rebuild(devices(244));
        QVERIFY(!model.canAdd());
        QCOMPARE(model.index(model.rowCount() - 1, 0).data(AddRowRole).toInt(), 0);
        QCOMPARE(model.rowOfDevice().size(), 244);
    }
};

QTEST_GUILESS_MAIN(SystemTreeMode0Test)
#include "tst_systemtree_mode0.moc"
