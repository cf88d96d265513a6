// The resource page: edits become one undo command each, live control bypasses the undo stack,
// changed rows come back visible and selected (exactly those rows), the context menu, the
// editor viewer's choice of page and the device information page.
#include "pagefixture.h"
#include "resourceconfigurator/changeresource.h"
#include "resourceconfigurator/editordefault.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/filterpanel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourcefixture.h"
#include "shell/systemoperation.h"
#include "support/isolatedenvironment.h"
#include "widgets/flatbutton.h"
#include "widgets/header.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/numberspinbox.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabBar>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using namespace ResourceFixture;
using ResourceConfiguration::Model;
using PageFixture::Page;

class ResourceConfiguratorTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { loadCatalogue(); }

    void editBecomesOneCommandAndControlBypassesTheStack()
    {
        Page p;
        const QList<IoResource::Ptr_t> dins = ofKind(p.system, p.s.m1, ResourceKind::Din);
        QSignalSpy commands(&p.page, &ResourceConfigurator::changeResource);
        p.edit({dins[0], dins[1]}, [](AbstractConfig& c) { c.din.filter = 9; });
        QCOMPARE(commands.count(), 1);
        QCOMPARE(p.stack.count(), 1);
        const auto* command = static_cast<const Tre::ChangeResource*>(p.stack.command(0));
        QCOMPARE(command->configs().size(), 2);
        QCOMPARE(command->configs().value(dins[0]->id()).first.din.filter, quint16(1));
        QCOMPARE(command->configs().value(dins[0]->id()).second.din.filter, quint16(9));
        emit p.page.editorViewer()->changeResources({});
        QCOMPARE(commands.count(), 1);

        const IoResource::Ptr_t out = ofKind(p.system, p.s.m1, ResourceKind::Dout).first();
        QSignalSpy control(&p.system, &SystemModel::controlValues);
        emit p.page.editorViewer()->controlResources(
            Editor::controlled({out}, [](AbstractValue& v) { v.dout.value = 1; }));
        QCOMPARE(control.count(), 1);
        QCOMPARE(out->valueText().value(1), QStringLiteral("1"));
        QCOMPARE(commands.count(), 1);
        QCOMPARE(p.stack.count(), 1);
    }

    void changedRowsComeBackSelectedExactly()
    {
        Page p({"A", "", "A", ""});
        const QList<IoResource::Ptr_t> ains = ofKind(p.system, p.s.controller, ResourceKind::Ain);
        const IoResource::Ptr_t aout = ofKind(p.system, p.s.m2, ResourceKind::Aout).first();
        p.edit({ains[0], ains[4]}, [](AbstractConfig& c) { c.ain.median = 1; });
        QCOMPARE(p.selectedIds().size(), 2);
        QVERIFY(p.selectedIds().contains(ains[4]->id()));
        for (int i = 1; i < 4; ++i)
            QVERIFY(!p.selectedIds().contains(ains[i]->id()));

        // Rows under two devices of one group, announced together.
        p.system.resourceUpdated({ains[1]->id(), aout->id()});
        QCOMPARE(p.selectedIds().size(), 2);
        QVERIFY(p.selectedIds().contains(aout->id()));
        QCOMPARE(p.title(), QStringLiteral("Выбраны разные типы ресурсов"));
    }

    void undoOfAFilteredOutResourceLiftsTheFilters()
    {
        Page p;
        const IoResource::Ptr_t out = ofKind(p.system, p.s.m3, ResourceKind::Dout).first();
        p.edit({out}, [](AbstractConfig& c) { c.dout.save = 1; });
        p.page.filterPanel()->button(ResourceKind::Din)->click();
        QVERIFY(p.page.proxy()->hasFilter());
        QVERIFY(!p.row(out->id()).isValid());
        p.stack.undo();
        QVERIFY(!p.page.proxy()->hasFilter());
        QVERIFY(!p.page.filterPanel()->resetButton()->isEnabled());
        QCOMPARE(p.selectedIds(), QList<NodeId_t>{out->id()});
        QVERIFY(p.page.view()->viewport()->rect().intersects(p.page.view()->visualRect(p.row(out->id()))));
    }

    void monitoringClearsFiltersAndShowsTheHint()
    {
        Page p;
        p.page.filterPanel()->button(ResourceKind::Ain)->click();
        p.page.monitoringMode(true);
        QVERIFY(!p.page.proxy()->hasFilter());
        QVERIFY(p.page.hintLabel()->isVisible());
        QCOMPARE(p.page.model()->columnCount(), 2);
        p.page.monitoringMode(false);
        QVERIFY(!p.page.hintLabel()->isVisible());
        QVERIFY(!p.page.buttonBox());

        QWidget first, second;
        p.page.insertBarWidget(&first);
        p.page.insertBarWidget(&second);
        p.page.insertBarWidget(nullptr);
        QVERIFY(second.x() <= first.x());
    }

    // While monitoring, the strip over the tree holds the shell's tab bar over the names, every
    // tab whole, and the hint over the values; the tree column is no wider than the tree.
    void monitoringStripFollowsTheColumns()
    {
        Page p;
        SystemOperation tabs;
        tabs.createTabBar();
        p.page.insertBarWidget(tabs.tabBar());
        tabs.goEditResources();
        p.page.monitoringMode(true);
        p.page.layout()->activate();
        const QWidget* viewport = p.page.view()->viewport();
        const int names = viewport->mapTo(&p.page, QPoint()).x();
        const int values = names + p.page.view()->columnViewportPosition(1);
        const QRect tree(p.page.view()->mapTo(&p.page, QPoint()), p.page.view()->size());
        const QRect bar(tabs.tabBar()->mapTo(&p.page, QPoint()), tabs.tabBar()->size());
        QCOMPARE(bar.left(), names);
        QCOMPARE(bar.right() + 1, values);
        for (int i = 0; i < tabs.tabBar()->count(); ++i)
            QVERIFY(tabs.tabBar()->rect().contains(tabs.tabBar()->tabRect(i)));
        const QLabel* hint = p.page.hintLabel();
        QCOMPARE(hint->mapTo(&p.page, QPoint()).x(), values);
        QCOMPARE(hint->mapTo(&p.page, QPoint()).x() + hint->width(), tree.right() + 1);
        QVERIFY(hint->sizeHint().width() <= hint->width());
        QCOMPARE(p.page.editorViewer()->x(), tree.right() + 1);
    }

    void contextMenuHidesWhatWasClicked()
    {
        Page p;
        const QList<IoResource::Ptr_t> dins = ofKind(p.system, p.s.m1, ResourceKind::Din);
        ContextMenu::State seen;
        int answer = 0;
        p.page.setMenuRunner([&](ContextMenu& menu, const QPoint&) {
            seen.deviceName = menu.action(ContextMenu::CollapseDevice)->text();
            seen.hasSelection = menu.action(ContextMenu::HideSelected)->isEnabled();
            seen.hasFilter = menu.action(ContextMenu::ShowAll)->isEnabled();
            return answer;
        });
        const auto rightClick = [&p](const QModelIndex& row) {
            const QPoint at = row.isValid() ? p.page.view()->visualRect(row).center()
                                            : QPoint(5, p.page.view()->viewport()->height() - 2);
            emit p.page.view()->customContextMenuRequested(at);
        };

        // Empty space: nothing to hide, the selection is cleared.
        p.page.view()->selectRows({p.row(dins[0]->id())});
        rightClick(QModelIndex());
        QCOMPARE(seen.deviceName, QStringLiteral("Свернуть - ..."));
        QVERIFY(!seen.hasSelection);
        QVERIFY(p.selectedIds().isEmpty());

        // An unselected row: only that row is hidden.
        p.page.view()->selectRows({p.row(dins[0]->id()), p.row(dins[1]->id())});
        answer = ContextMenu::HideSelected;
        rightClick(p.row(dins[3]->id()));
        QCOMPARE(seen.deviceName, QStringLiteral("Свернуть - ") + p.s.m1->displayName());
        QVERIFY(!p.row(dins[3]->id()).isValid());
        QVERIFY(p.row(dins[0]->id()).isValid());
        QVERIFY(p.selectedIds().isEmpty());

        // A selected row: every selected resource row; device rows are left out.
        p.page.view()->selectRows({p.row(p.s.m1->id()), p.row(dins[0]->id()), p.row(dins[1]->id())});
        rightClick(p.row(dins[1]->id()));
        QVERIFY(!p.row(dins[0]->id()).isValid());
        QVERIFY(!p.row(dins[1]->id()).isValid());
        QVERIFY(p.row(p.s.m1->id()).isValid());

        answer = ContextMenu::ShowAll;
        p.page.filterPanel()->button(ResourceKind::Dout)->click();
        rightClick(QModelIndex());
        QVERIFY(seen.hasFilter);
        QVERIFY(!p.page.proxy()->hasFilter());
        QVERIFY(!p.page.filterPanel()->resetButton()->isEnabled());

        answer = ContextMenu::HideOthers;
        rightClick(p.row(dins[2]->id()));
        QVERIFY(p.row(dins[2]->id()).isValid());
        QVERIFY(p.row(p.s.m1->id()).isValid());
        QVERIFY(!p.row(dins[3]->id()).isValid());
        QVERIFY(!p.row(p.s.m2->id()).isValid());
    }

    void aRebuildDuringTheMenuLeavesNoStaleRows()
    {
        Page p;
        const QList<IoResource::Ptr_t> dins = ofKind(p.system, p.s.m1, ResourceKind::Din);
        p.page.view()->selectRows({p.row(dins[0]->id()), p.row(dins[1]->id())});
        p.page.setMenuRunner([&p](ContextMenu&, const QPoint&) {
            p.system.removeDevice(p.s.m1->id());
            p.system.systemUpdated();
            return int(ContextMenu::HideSelected);
        });
        emit p.page.view()->customContextMenuRequested(p.page.view()->visualRect(p.row(dins[0]->id())).center());
        QVERIFY(!p.page.proxy()->hasFilter());
        QCOMPARE(p.page.model()->indexes({dins[0]->id()}).size(), 0);
    }

    // A rebuild of the tree takes the selection with it, and the editor is told so: it must not
    // keep editing rows the tree no longer holds.
    void aRebuildDropsTheSelection_data()
    {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<bool>("device");
        QTest::newRow("resources on top") << QStringList{"", "", "", ""} << false;
        QTest::newRow("resources in a group") << QStringList{"A", "A", "", ""} << false;
        QTest::newRow("a device") << QStringList{"", "", "", ""} << true;
    }

    void aRebuildDropsTheSelection()
    {
        QFETCH(QStringList, groups);
        QFETCH(bool, device);
        Page p(groups);
        const QList<IoResource::Ptr_t> dins = ofKind(p.system, p.s.m1, ResourceKind::Din);
        if (device)
            p.page.view()->selectRows({p.row(p.s.m2->id())});
        else
            p.page.view()->selectRows({p.row(dins[0]->id()), p.row(dins[1]->id())});
        QCOMPARE(p.selectedIds().size(), device ? 1 : 2);
        int told = 0;
        int lastCount = -1;
        QObject::connect(&p.page, &ResourceConfigurator::selected,
                         [&](const QList<Device::Ptr_t>& devices, const QList<IoResource::Ptr_t>& resources) {
                             ++told;
                             lastCount = devices.size() + resources.size();
                         });
        p.system.systemUpdated();
        QVERIFY(p.selectedIds().isEmpty());
        QVERIFY(told > 0);
        QCOMPARE(lastCount, 0);
        QCOMPARE(p.title(), QStringLiteral("Нет выбранных ресурсов"));
        // The rows are back, expanded as before.
        QVERIFY(p.row(dins[1]->id()).isValid());
        QVERIFY(p.page.view()->isExpanded(p.row(p.s.m2->id())));
    }

    void spinBoxHelpersAndTheEditPattern()
    {
        NumberSpinBox box;
        box.setMaximum(300);
        setSpinBoxRange(&box, 5, 1, 0);
        QCOMPARE(box.maximum(), 300);
        QCOMPARE(box.value(), 5);
        setSpinBoxMixed(&box, -1);
        QCOMPARE(box.text(), QStringLiteral(" "));
        setSpinBoxRange(&box, 5, 1, 20000);
        QCOMPARE(box.text(), QStringLiteral("5"));
        QCOMPARE(box.maximum(), 20000);
        QDoubleSpinBox real;
        setSpinBoxMixed(&real, -0.01);
        QCOMPARE(real.value(), -0.01);
        QVERIFY_EXCEPTION_THROWN(Editor::edited(QList<IoResource::Ptr_t>{}, Editor::ConfigSetter_t()),
                                 std::invalid_argument);
        QVERIFY(Editor::edited(QList<IoResource::Ptr_t>{}, [](AbstractConfig&) {}).isEmpty());
    }

    void viewerChoosesThePage()
    {
        Page p;
        EditorViewer* viewer = p.page.editorViewer();
        QCOMPARE(p.title(), QStringLiteral("Нет выбранных ресурсов"));
        const IoResource::Ptr_t ain = ofKind(p.system, p.s.m2, ResourceKind::Ain).first();
        viewer->edit({}, {ain});
        QCOMPARE(p.title(), QStringLiteral("Аналоговый вход AIN1"));
        QCOMPARE(viewer->currentEditor(), viewer->editor(ResourceKind::Ain));

        QList<IoResource::Ptr_t> outs;
        for (const Device::Ptr_t& d : {p.s.controller, p.s.m1, p.s.m2, p.s.m3})
            outs << ofKind(p.system, d, ResourceKind::Dout).mid(0, 1);
        outs << ofKind(p.system, p.s.m1, ResourceKind::Dout).at(1);
        viewer->edit({}, outs);
        QCOMPARE(p.title(), QStringLiteral("Цифровые выходы 4"));
        QCOMPARE(viewer->currentEditor(), viewer->editor(ResourceKind::Dout));
        viewer->update({});
        QCOMPARE(p.title(), QStringLiteral("Нет выбранных ресурсов"));

        // Only devices, mode 1: the information page of one device, the hint for three.
        auto* info = static_cast<EditorDefault*>(viewer->editor(EditorViewer::DefaultEditor));
        viewer->edit({p.s.controller}, {});
        QCOMPARE(viewer->currentEditor(), info);
        QCOMPARE(info->currentPage(), int(EditorDefault::InformationPage));
        QCOMPARE(p.title(), QStringLiteral("Устройство ") + p.s.controller->name());
        QCOMPARE(info->paramsPanel()->indicator(0)->findChildren<QLabel*>().size() > 0, true);
        viewer->edit({p.s.controller, p.s.m1, p.s.m2}, {});
        QCOMPARE(info->currentPage(), int(EditorDefault::HintPage));
        QVERIFY(!viewer->editor(EditorViewer::LabelEditor));
    }
};

QTEST_MAIN(ResourceConfiguratorTest)
#include "tst_resourceconfigurator.moc"
