// The system page: an empty system, two controllers with a group and the selected controller's
// panel, the context menu with its change-type page, and a controller whose modules draw more
// than its supply gives.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "support/modelfixture.h"
#include "systemconfigurator/contextmenu.h"
#include "systemconfigurator/contextmenuoptions.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemconfigurator.h"
#include "widgets/stylesource.h"

#include <QLabel>
#include <QPainter>
#include <QUuid>

namespace {

constexpr DeviceType_t kTav1000 = 0x0B0A000Au;
constexpr DeviceType_t kPex2000 = 0x0A14000Au;
constexpr DeviceType_t kPex3000 = 0x0A1E000Au;
constexpr DeviceType_t kPex4141 = 0x0A29291Eu;

NodeId_t add(SystemModel& system, DeviceType_t type, int number, const QString& group,
             const NodeId_t& owner = NodeId_t())
{
    DeviceHandle h = ModelFixture::handleOf(type, number, owner);
    h.revision = 0;
    h.group = group;
    system.addDevice(h);
    return h.id;
}

SystemConfigurator* makePage(SystemModel* system)
{
    auto* page = new SystemConfigurator(system);
    system->setParent(page);
    page->resize(1000, 560);
    page->reloadSystem();
    page->view()->expandAll();
    return page;
}

void select(SystemConfigurator* page, const NodeId_t& id)
{
    const QModelIndex row = page->treeModel()->rowOfDevice().value(id);
    page->view()->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect);
}

// Two controllers in group "Щит 1", the first with two modules, and a third controller alone.
SystemModel* groupedSystem(NodeId_t* first)
{
    auto* system = new SystemModel;
    const QString group = Gallery::demo("Щит 1", "Panel 1");
    *first = add(*system, ModelFixture::kTav1020, 0, group);
    add(*system, kPex2000, 1, group, *first);
    add(*system, kPex3000, 2, group, *first);
    add(*system, kTav1000, 1, group);
    add(*system, kTav1000, 2, QString());
    return system;
}

void contextMenuScenes(const QString& outDir)
{
    NodeId_t first;
    SystemConfigurator* page = makePage(groupedSystem(&first));
    Gallery::save(page, outDir, "systempage_page_before_menu");
    const SystemConfiguration::Model* tree = page->treeModel();
    const QModelIndex row = tree->rowOfDevice().value(first);
    const QModelIndex module = tree->index(0, 0, row.parent()).sibling(row.row() + 1, 0);
    select(page, module.data(273).toUuid());
    const auto options = SystemConfiguration::ContextMenuOptions::compute(
        *tree, page->view()->selectionModel()->selectedRows(), QModelIndex(), *page->view());
    auto* menu = new SystemConfiguration::ContextMenu(options);
    applyMenuStyle(menu);
    Gallery::save(menu, outDir, "systempage_contextmenu_one_module");
    // A pop-up is a window of its own: the page with the menu open is put together from both.
    const QRect rect = page->view()->visualRect(module);
    QPixmap composed = page->grab();
    QPainter painter(&composed);
    painter.drawPixmap(page->view()->viewport()->mapTo(page, QPoint(rect.left() + 2,
                                                                  rect.bottom() + 2)),
                       menu->grab());
    painter.end();
    auto* shot = new QLabel;
    shot->setPixmap(composed);
    shot->setFixedSize(composed.size());
    Gallery::save(shot, outDir, "systempage_page_context_menu_open");
    QMenu* types = menu->changeTypeMenu();
    applyMenuStyle(types);
    Gallery::save(types, outDir, "systempage_contextmenu_change_type_page");

    const QModelIndex group = tree->index(0, 0);
    page->view()->selectionModel()->select(group, QItemSelectionModel::ClearAndSelect);
    auto* groupMenu = new SystemConfiguration::ContextMenu(SystemConfiguration::ContextMenuOptions::compute(
        *tree, {group}, group, *page->view()));
    applyMenuStyle(groupMenu);
    Gallery::save(groupMenu, outDir, "systempage_contextmenu_group_row");
}

} // namespace

TAV_GALLERY_SCENES(systempage)
{
    {
        SystemConfigurator* page = makePage(new SystemModel);
        Gallery::save(page, outDir, "systempage_page_empty");
    }
    {
        NodeId_t first;
        SystemConfigurator* page = makePage(groupedSystem(&first));
        select(page, first);
        Gallery::save(page, outDir, "systempage_page_group_controller_selected");
        // A full-HD screen: the panels keep their numbers beside their titles.
        page->resize(1700, 900);
        Gallery::save(page, outDir, "systempage_page_wide");
    }
    contextMenuScenes(outDir);
    {
        // Four modules of 4.87 W on a supply of 14.14 W.
        auto* system = new SystemModel;
        const NodeId_t controller = add(*system, kTav1000, 0, QString());
        for (int i = 1; i <= 4; ++i)
            add(*system, kPex4141, i, QString(), controller);
        SystemConfigurator* page = makePage(system);
        select(page, controller);
        Gallery::save(page, outDir, "systempage_page_supply_overload");
    }
}
