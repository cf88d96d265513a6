// Scenes of the system tree: a system of two controllers, three modules and one group with a
// hovered row showing its buttons, a selected row, a drag with its drop target, and the device
// selector opened on the add row.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "support/modelfixture.h"
#include "systemconfigurator/deviceselector.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationrenderer.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemedits.h"
#include "systemconfigurator/treerole.h"
#include "widgets/stylesource.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHoverEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>

using namespace SystemConfiguration;

namespace {

// The module type that draws the most from its controller's supply.
DeviceType_t hungriestModule()
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    DeviceType_t best = 0;
    int most = -1;
    for (const DeviceType_t t : catalogue.types(3)) {
        DeviceTemplate tpl;
        if (catalogue.deviceTemplate(t, -1, &tpl, false) && tpl.preq > most) {
            most = tpl.preq;
            best = t;
        }
    }
    return best;
}

// The controller type with the most I/O boards, so the board budget runs short.
DeviceType_t largestController()
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    DeviceType_t best = 0;
    int most = -1;
    for (const DeviceType_t t : catalogue.types(2)) {
        DeviceTemplate tpl;
        if (catalogue.deviceTemplate(t, -1, &tpl, false) && tpl.boardIds.size() > most
            && tpl.boardIds.size() <= 10) {
            most = tpl.boardIds.size();
            best = t;
        }
    }
    return best;
}

QList<DeviceHandle> sampleSystem()
{
    using ModelFixture::handleOf;
    const DeviceType_t tav = largestController();
    const DeviceType_t pex = hungriestModule();
    DeviceHandle c0 = handleOf(tav, 0);
    DeviceHandle c1 = handleOf(tav, 1);
    QList<DeviceHandle> list{c0, handleOf(pex, 1, c0.id), c1, handleOf(pex, 1, c1.id),
                             handleOf(pex, 2, c1.id)};
    // The name the context menu gives a new group, which reads in the interface's language.
    for (int i = 2; i < list.size(); ++i)
        list[i].group = SystemEdits::defaultGroupName(1);
    return list;
}

// The tree as the system page builds it.
struct Tree
{
    QWidget* window = new QWidget;
    Model* model = new Model(window);
    View* view = new View(window);
    Renderer* renderer = new Renderer(window);

    Tree()
    {
        view->setModel(model);
        view->setItemDelegate(renderer);
        view->setFrameStyle(QFrame::NoFrame | QFrame::Plain);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->move(0, 0);
        view->resize(view->maximumWidth(), 560);
        window->resize(view->size());
        QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, renderer,
                         [this] { renderer->setSelection(view->selectionModel()->selectedRows()); });
        view->saveExpandedGroups();
        model->rebuild(sampleSystem());
        view->resetButtons();
        view->restoreExpandedGroups();
        window->show();
    }

    void hover(const QModelIndex& row, int x)
    {
        const QPoint pos(x, view->visualRect(row).center().y());
        QHoverEvent hoverEvent(QEvent::HoverMove, pos, QPoint(-1, -1));
        QApplication::sendEvent(view->viewport(), &hoverEvent);
        QMouseEvent move(QEvent::MouseMove, pos, view->viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
    }
};

void hoveredAndSelected(const QString& outDir)
{
    Tree tree;
    const QModelIndex group = tree.model->index(2, 0);
    const QModelIndex module = tree.model->index(1, 0, group);
    tree.hover(module, 186);
    Gallery::save(tree.view, outDir, "systemtree_view_hovered_row_buttons");

    tree.view->selectionModel()->select(tree.model->index(1, 0), QItemSelectionModel::ClearAndSelect
                                                                    | QItemSelectionModel::Rows);
    tree.hover(tree.model->index(0, 0, group), 100);
    Gallery::save(tree.view, outDir, "systemtree_view_selected_row");

    tree.view->selectionModel()->select(group, QItemSelectionModel::ClearAndSelect
                                                   | QItemSelectionModel::Rows);
    tree.hover(group, 10);
    Gallery::save(tree.view, outDir, "systemtree_view_selected_group");
}

void dropTarget(const QString& outDir)
{
    Tree tree;
    // The second controller with its modules dragged onto the first controller's module.
    const QModelIndex group = tree.model->index(2, 0);
    tree.model->startMove(tree.model->index(0, 0, group));
    tree.model->moveDest(tree.model->index(1, 0));
    tree.view->doItemsLayout();
    Gallery::save(tree.view, outDir, "systemtree_view_drop_target_row");
    const QModelIndex spacer = tree.model->index(tree.model->rowCount(group) - 1, 0, group);
    tree.model->moveDest(spacer);
    tree.view->doItemsLayout();
    Gallery::save(tree.view, outDir, "systemtree_view_drop_target_group_end");
    tree.model->finishMove(QModelIndex(), QModelIndex());
}

void selectorOnAddRow(const QString& outDir)
{
    Tree tree;
    const QModelIndex add = tree.model->index(tree.model->rowCount() - 1, 0);
    tree.hover(add, 100);
    tree.view->edit(add);
    auto* selector = qobject_cast<DeviceSelector*>(QApplication::activePopupWidget());
    if (!selector)
        return;
    QApplication::processEvents();
    auto* list = selector->findChild<QListWidget*>(QStringLiteral("listWidget"));
    // The last offered entry selected, with the disabled over-budget entries below it.
    int lastEnabled = 0;
    while (lastEnabled + 1 < list->count()
           && (list->item(lastEnabled + 1)->flags() & Qt::ItemIsEnabled))
        ++lastEnabled;
    list->setCurrentRow(lastEnabled);
    selector->resize(selector->width(), 320);
    list->scrollToItem(list->item(lastEnabled), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    Gallery::save(selector, outDir, "systemtree_selector_add_row");

    // The pop-up is a window of its own: the picture puts it where it opens below the add row.
    const QPoint offset = selector->pos() - tree.view->viewport()->mapToGlobal(QPoint(0, 0));
    const QPixmap rows = tree.view->grab();
    const QPixmap popup = selector->grab();
    QPixmap scene(qMax(rows.width(), offset.x() + popup.width()),
                  qMax(rows.height(), offset.y() + popup.height()));
    scene.fill(QColor(0x383b3f));
    QPainter painter(&scene);
    painter.drawPixmap(0, 0, rows);
    painter.drawPixmap(offset, popup);
    painter.end();
    selector->close();
    QApplication::processEvents();
    auto* picture = new QLabel;
    picture->setPixmap(scene);
    picture->resize(scene.size());
    Gallery::save(picture, outDir, "systemtree_view_selector_open_on_add_row");
}

} // namespace

TAV_GALLERY_SCENES(systemtree)
{
    hoveredAndSelected(outDir);
    dropTarget(outDir);
    selectorOnAddRow(outDir);
}
