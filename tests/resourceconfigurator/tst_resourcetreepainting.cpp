// What the resource tree paints and in which order: the discrete state bar, values with their
// units, the name and value columns' colours, the panel's width, device groups in bus order.
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationrenderer.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"
#include "support/pixelprobe.h"
#include "widgets/startup.h"
#include "widgets/textstyles.h"

#include <QStandardItemModel>
#include <QtTest>

using namespace ResourceFixture;
using ResourceConfiguration::Model;
using PixelProbe::distance;

namespace {

const QColor nameColour(0x1f6f3a);

// Column 0 (name) or 1 (value) of a resource row, painted 170 x 30 on a white base.
QImage paintedCell(int column, int kind, const QString& value)
{
    QStandardItemModel rows(1, 2);
    for (int c = 0; c < 2; ++c) {
        QStandardItem* item = new QStandardItem(QStringLiteral("Вход 1"));
        item->setData(Model::ResourceItem, Model::ItemTypeRole);
        item->setData(kind, Model::KindRole);
        item->setData(value, Model::ValueRole);
        item->setData(nameColour, Qt::ForegroundRole);
        rows.setItem(0, c, item);
    }
    return PixelProbe::paintedCell(ResourceConfiguration::Renderer(), rows.index(0, column),
                                   PixelProbe::cellOption({170, 30}), Qt::black);
}

// The rightmost column holding a pixel unlike the background, left of limit.
int inkRight(const QImage& picture, int limit, QColor background)
{
    for (int x = limit - 1; x >= 0; --x)
        for (int y = 0; y < picture.height(); ++y)
            if (distance(picture.pixelColor(x, y), background) > 60)
                return x;
    return -1;
}

} // namespace

class ResourceTreePaintingTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        initWidgets();
        loadCatalogue();
    }

    void discreteStateBarIsAccentOnlyForZero_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QColor>("bar");
        QTest::newRow("output 0") << int(ResourceKind::Dout) << "0" << accentColor;
        QTest::newRow("output 1") << int(ResourceKind::Dout) << "1" << QColor(Qt::white);
        QTest::newRow("input 0") << int(ResourceKind::Din) << "0" << accentColor;
        QTest::newRow("input 1") << int(ResourceKind::Din) << "1" << QColor(Qt::white);
    }

    // The value column lies on the accent colour, the name column on the base with the row's
    // own text colour.
    void discreteStateBarIsAccentOnlyForZero()
    {
        QFETCH(int, kind);
        QFETCH(QString, value);
        QFETCH(QColor, bar);
        const QImage valueCell = paintedCell(1, kind, value);
        QVERIFY2(distance(valueCell.pixelColor(11, 15), bar) <= 4,
                 qPrintable(valueCell.pixelColor(11, 15).name()));
        QVERIFY(distance(valueCell.pixelColor(60, 4), accentColor) <= 4);

        const QImage nameCell = paintedCell(0, kind, value);
        QVERIFY(distance(nameCell.pixelColor(165, 4), Qt::white) <= 4);
        bool nameInk = false;
        for (int y = 0; y < 30 && !nameInk; ++y)
            for (int x = 0; x < 170 && !nameInk; ++x)
                nameInk = distance(nameCell.pixelColor(x, y), nameColour) <= 8;
        QVERIFY(nameInk);
    }

    void monitoredValueKeepsItsUnit_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("unit");
        QTest::newRow("millivolts") << "12" << "mV";
        QTest::newRow("volts") << "5" << "V";
    }

    void monitoredValueKeepsItsUnit()
    {
        QFETCH(QString, number);
        QFETCH(QString, unit);
        const int split = 170 * 54 / 100;
        const int bare = inkRight(paintedCell(1, ResourceKind::Ain, number), split, accentColor);
        const int withUnit = inkRight(paintedCell(1, ResourceKind::Ain, number + ' ' + unit),
                                      split, accentColor);
        QVERIFY(bare > 0);
        QVERIFY2(withUnit >= bare + 6, qPrintable(QStringLiteral("%1 %2").arg(bare).arg(withUnit)));
    }

    void treeIsNarrowUntilMonitoringWidensIt()
    {
        ResourceConfiguration::View view;
        QCOMPARE(view.minimumWidth(), 220);
        QCOMPARE(view.maximumWidth(), 220);
        view.setMonitoring(true);
        QVERIFY(view.minimumWidth() > 220);
        view.setMonitoring(false);
        QCOMPARE(view.maximumWidth(), 220);
    }

    void resourceTreeTakesNoTyping_data() { PixelProbe::addEditGestureRows(); }

    void resourceTreeTakesNoTyping()
    {
        QFETCH(QString, gesture);
        SystemModel system;
        build(system);
        Model model(&system);
        FilteringProxyModel proxy;
        proxy.setSourceModel(&model);
        ResourceConfiguration::View view;
        view.setModel(&proxy);
        view.resize(220, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.expandAll();
        const QModelIndex row = proxy.index(0, 0, proxy.index(0, 0));
        QVERIFY(row.isValid());
        const QString before = row.data().toString();
        QVERIFY(!PixelProbe::editorOpens(&view, row, gesture));
        QCOMPARE(row.data().toString(), before);
    }

    // Groups named against the alphabet: the tree keeps the bus order, not the names'.
    void deviceGroupsSortInBusOrder()
    {
        SystemModel system;
        build(system, {"Яруга", "Яруга", "Берег", "Астра"});
        Model model(&system);
        FilteringProxyModel proxy;
        proxy.setSourceModel(&model);
        proxy.sort(0);
        QStringList names;
        for (int row = 0; row < proxy.rowCount(); ++row)
            names << proxy.index(row, 0).data().toString();
        QCOMPARE(names.size(), 3);
        QVERIFY2(names.at(0).contains("Яруга") && names.at(1).contains("Берег")
                     && names.at(2).contains("Астра"),
                 qPrintable(names.join(',')));
    }
};

QTEST_MAIN(ResourceTreePaintingTest)
#include "tst_resourcetreepainting.moc"
