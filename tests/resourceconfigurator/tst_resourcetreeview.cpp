// The resource tree's view, renderer, filter panel and context-menu states.
#include "resourceconfigurator/contextmenu.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/filterpanel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationrenderer.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"
#include "support/colourcontrast.h"
#include "support/pixelprobe.h"
#include "widgets/flatbutton.h"

#include <QAction>
#include <QStandardItemModel>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

using namespace ResourceFixture;

using ResourceConfiguration::Model;
using ResourceConfiguration::View;

namespace {

// Another language in which the analogue input and output translate "overload" differently.
class OtherLanguage : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char* = nullptr,
                      int = -1) const override
    {
        if (QLatin1String(source) == QLatin1String("overload"))
            return QLatin1String(context) == QLatin1String("Ain") ? QStringLiteral("surcharge")
                                                                   : QStringLiteral("surcharge sortie");
        if (QLatin1String(source) == QLatin1String("ERROR"))
            return QStringLiteral("ERREUR");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

struct Tree
{
    SystemModel system;
    System s;
    Model model;
    FilteringProxyModel proxy;
    View view;

    explicit Tree(const QStringList& groups)
        : s(build(system, groups))
        , model(&system)
    {
        proxy.setSourceModel(&model);
        view.setModel(&proxy);
        QObject::connect(&proxy, &QAbstractItemModel::layoutAboutToBeChanged, &view,
                         &View::onLayoutAboutToBeChange);
        QObject::connect(&proxy, &QAbstractItemModel::layoutChanged, &view, &View::onLayoutChanged);
        proxy.sort(0);
        view.resize(220, 2000);
        view.show();
    }
    QModelIndex row(const IoResource::Ptr_t& r) const
    {
        return proxy.mapFromSource(model.indexes({r->id()}).first());
    }
    QModelIndex row(const Device::Ptr_t& d) const
    {
        return proxy.mapFromSource(model.indexes({d->id()}).first());
    }
    QList<NodeId_t> selectedIds() const
    {
        QList<NodeId_t> ids;
        for (const QModelIndex& i : view.selectionModel()->selectedRows(0))
            ids << i.data(Model::IdRole).toUuid();
        return ids;
    }
};

} // namespace

class ResourceTreeViewTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { loadCatalogue(); }

    // A value cell's reading stands out from its ground, selected or not, in error or not: the
    // strongest contrast of its pixels reaches 4.5:1.
    void valueCellTextIsReadable_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("status");
        QTest::newRow("plain") << false << "";
        QTest::newRow("selected") << true << "";
        QTest::newRow("selected overload") << true << "overload";
    }

    void valueCellTextIsReadable()
    {
        QFETCH(bool, selected);
        QFETCH(QString, status);
        QStandardItemModel model(1, 2);
        auto* cell = new QStandardItem;
        cell->setData(int(Model::ResourceItem), Model::ItemTypeRole);
        cell->setData(int(ResourceKind::Ain), Model::KindRole);
        cell->setData(status, Model::StatusRole);
        cell->setData(QStringLiteral("16"), Model::ValueRole);
        cell->setData(QStringLiteral("52.50"), Model::SecondValueRole);
        model.setItem(0, 1, cell);
        const QStyle::State state =
            selected ? QStyle::State_Enabled | QStyle::State_Selected : QStyle::State_Enabled;
        const QStyleOptionViewItem option = PixelProbe::cellOption({170, 30}, state);
        const QImage picture = PixelProbe::paintedCell(ResourceConfiguration::Renderer(),
                                                       model.index(0, 1), option, Qt::black);
        const QColor ground(picture.pixel(option.rect.width() / 2 - 2, 2));
        double strongest = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                strongest = qMax(strongest, colourContrast(ground, QColor(picture.pixel(x, y))));
        }
        QVERIFY2(strongest >= 4.5, qPrintable(ground.name() + ' ' + QString::number(strongest)));
    }

    void selectRowsSelectsExactlyTheChangedRows()
    {
        Tree t({"A", "", "A", ""});
        const QList<IoResource::Ptr_t> douts = ofKind(t.system, t.s.m1, ResourceKind::Dout);
        const IoResource::Ptr_t other = ofKind(t.system, t.s.m3, ResourceKind::Dout).first();
        t.view.selectRows({t.row(douts[0]), t.row(douts[1]), t.row(douts[3]), t.row(other)});
        QCOMPARE(t.selectedIds().size(), 4);
        QVERIFY(!t.selectedIds().contains(douts[2]->id()));
        QVERIFY(t.selectedIds().contains(other->id()));
        t.view.selectRows({});
        QVERIFY(t.selectedIds().isEmpty());
    }

    void expansionSurvivesRebuildsAndNewRowsComeExpanded()
    {
        Tree t({"A", "A", "", ""});
        QVERIFY(!t.view.allExpanded());
        t.view.expandAll();
        QVERIFY(t.view.allExpanded());
        t.view.collapse(t.row(t.s.m2));
        QVERIFY(!t.view.othersCollapsed(t.row(t.s.m2)));
        t.view.onLayoutAboutToBeChange();
        add(t.system, kPex2000, 4, QStringLiteral("B"), t.s.controller->id());
        t.model.reload();
        t.view.onLayoutChanged();
        QVERIFY(!t.view.isExpanded(t.row(t.s.m2)));
        QVERIFY(t.view.isExpanded(t.proxy.index(0, 0)));
        QVERIFY(t.view.isExpanded(t.proxy.index(t.proxy.rowCount() - 1, 0)));
        t.view.collapseOthers(t.proxy.index(0, 0));
        QVERIFY(t.view.othersCollapsed(t.proxy.index(0, 0)));
        QVERIFY(t.view.isExpanded(t.proxy.index(0, 0)));
    }

    void expanderZoneFoldsWithoutSelecting()
    {
        Tree t({"", "", "", ""});
        const QModelIndex device = t.row(t.s.m1);
        t.view.expandAll();
        const QRect rect = t.view.visualRect(device);
        QVERIFY(t.view.isExpanded(device));
        QTest::mouseClick(t.view.viewport(), Qt::LeftButton, {}, QPoint(10, rect.center().y()));
        QVERIFY(!t.view.isExpanded(device));
        QVERIFY(t.selectedIds().isEmpty());
        QCOMPARE(device.data(Model::ExpanderRole).toInt(), 2);
        // Outside the zone a click selects; a right press changes nothing.
        QTest::mouseClick(t.view.viewport(), Qt::LeftButton, {}, QPoint(100, rect.center().y()));
        QCOMPARE(t.selectedIds(), QList<NodeId_t>{t.s.m1->id()});
        const QRect other = t.view.visualRect(t.row(t.s.m2));
        QTest::mousePress(t.view.viewport(), Qt::RightButton, {}, QPoint(100, other.center().y()));
        QCOMPARE(t.selectedIds(), QList<NodeId_t>{t.s.m1->id()});
    }

    void monitoringWidths()
    {
        Tree t({"", "", "", ""});
        t.model.setMonitoring(true);
        t.view.setMonitoring(true);
        QCOMPARE(t.view.maximumWidth(), 390);
        QCOMPARE(t.view.columnWidth(0), 220);
        QCOMPARE(t.view.columnWidth(1), 170);
        t.view.setMonitoring(false);
        QCOMPARE(t.view.maximumWidth(), 220);
    }

    void errorStatusReadsTheSameInAnyLanguage()
    {
        QCOMPARE(ResourceConfiguration::Renderer::errorText(QStringLiteral("freeze,overload")),
                 QStringLiteral("ERROR"));
        QCOMPARE(ResourceConfiguration::Renderer::errorText(QStringLiteral("freeze,under")), QString());
        OtherLanguage other;
        QCoreApplication::installTranslator(&other);
        SystemModel system;
        const System s = build(system);
        const IoResource::Ptr_t aout = ofKind(system, s.m1, ResourceKind::Aout).first();
        AbstractValue v;
        aout->exportValue(v);
        v.aout.overload = 1;
        aout->importValue(v);
        const QString status = aout->valueText().value(1);
        QCOMPARE(status, QStringLiteral("surcharge sortie"));
        QCOMPARE(ResourceConfiguration::Renderer::errorText(status), QStringLiteral("ERREUR"));
        QCoreApplication::removeTranslator(&other);
    }

    void filterPanelClicks()
    {
        FilterPanel panel;
        panel.resize(180, 34);
        panel.setFilters({{0, "AIN"}, {1, "AOUT"}, {2, "DIN"}, {3, "DOUT"}});
        FilteringProxyModel proxy;
        connect(&panel, &FilterPanel::doFiltering, &proxy, &FilteringProxyModel::doFilterType);
        connect(&panel, &FilterPanel::resetFilter, &proxy, &FilteringProxyModel::resetAllFilters);
        connect(&proxy, &FilteringProxyModel::setFilter, &panel, &FilterPanel::hasFiltered);
        QSignalSpy spy(&panel, &FilterPanel::doFiltering);
        const auto hidden = [&spy] {
            QList<int> kinds = spy.last().at(0).value<QList<int>>();
            std::sort(kinds.begin(), kinds.end());
            return kinds;
        };
        const QColor dark(0x3c, 0x3d, 0x3f);
        QVERIFY(!panel.resetButton()->isEnabled());

        panel.button(2)->click();
        QCOMPARE(hidden(), QList<int>({0, 1, 3}));
        QCOMPARE(spy.last().at(1).toBool(), true);
        QCOMPARE(panel.button(2)->palette().color(QPalette::Button), dark);
        QVERIFY(panel.button(0)->palette().color(QPalette::Button) != dark);
        QVERIFY(panel.resetButton()->isEnabled());

        panel.button(3)->click();
        QCOMPARE(hidden(), QList<int>({0, 1}));
        QCOMPARE(panel.button(3)->palette().color(QPalette::Button), dark);

        panel.button(2)->click();
        QCOMPARE(hidden(), QList<int>({0, 1, 2}));
        panel.button(3)->click();
        // Hiding the last shown kind shows everything again.
        QCOMPARE(hidden(), QList<int>());
        QCOMPARE(spy.last().at(1).toBool(), false);
        QVERIFY(!proxy.hasFilter());
        QVERIFY(!panel.resetButton()->isEnabled());

        panel.button(0)->click();
        proxy.doFilterIndex({QModelIndex()}, true);
        panel.resetButton()->click();
        QVERIFY(!proxy.hasFilter());
        QVERIFY(panel.button(0)->palette().color(QPalette::Button) != dark);
    }

    void contextMenuEnableRules()
    {
        ContextMenu empty(ContextMenu::State{});
        QCOMPARE(empty.action(ContextMenu::CollapseDevice)->text(), QStringLiteral("Свернуть - ..."));
        QVERIFY(!empty.action(ContextMenu::CollapseDevice)->isEnabled());
        QVERIFY(!empty.action(ContextMenu::HideSelected)->isEnabled());
        QVERIFY(!empty.action(ContextMenu::HideOthers)->isEnabled());
        QVERIFY(!empty.action(ContextMenu::ShowAll)->isEnabled());
        QVERIFY(empty.action(ContextMenu::CollapseOthers)->isEnabled());
        QVERIFY(empty.action(ContextMenu::ExpandAll)->isEnabled());

        ContextMenu::State state;
        state.deviceName = QStringLiteral("1.PEX");
        state.deviceExpanded = true;
        state.othersCollapsed = true;
        state.allExpanded = true;
        state.hasSelection = true;
        state.hasFilter = true;
        ContextMenu menu(state);
        QCOMPARE(menu.action(ContextMenu::CollapseDevice)->text(), QStringLiteral("Свернуть - 1.PEX"));
        QVERIFY(menu.action(ContextMenu::CollapseDevice)->isEnabled());
        QVERIFY(!menu.action(ContextMenu::CollapseOthers)->isEnabled());
        QVERIFY(!menu.action(ContextMenu::ExpandAll)->isEnabled());
        QVERIFY(menu.action(ContextMenu::HideSelected)->isEnabled());
        QVERIFY(menu.action(ContextMenu::ShowAll)->isEnabled());
        QVERIFY(menu.action(ContextMenu::CollapseAll)->isEnabled());
        state.deviceExpanded = false;
        QVERIFY(!ContextMenu(state).action(ContextMenu::CollapseAll)->isEnabled());
        QCOMPARE(menu.actionCode(menu.action(ContextMenu::HideOthers)), 6);
        QCOMPARE(menu.actionCode(nullptr), 0);
        // Menu order: 1, 2, 3, 4, separator, 6, 5, 7.
        QCOMPARE(menu.actions().at(5), menu.action(ContextMenu::HideOthers));
    }
};

QTEST_MAIN(ResourceTreeViewTest)
#include "tst_resourcetreeview.moc"
