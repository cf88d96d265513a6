#include "resourceconfigurator/resourceconfigurationview.h"

#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "widgets/layoutmetrics.h"

#include <QFont>
#include <QGuiApplication>
#include <QItemSelection>
#include <QMouseEvent>

namespace ResourceConfiguration {

namespace {

// The renderer's row height plus 2.
constexpr int kExpanderZoneWidth = 30 + 2;

} // namespace

View::View(QWidget* parent)
    : QTreeView(parent)
    , m_normalWidth(panelWidthSmall())
    , m_monitoringWidth(panelWidthLarge())
{
    setMouseTracking(true);
    setEditTriggers(NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setExpandsOnDoubleClick(true);
    setRootIsDecorated(false);
    setHeaderHidden(true);
    setIndentation(0);
    setMaximumWidth(m_normalWidth);
    setMinimumWidth(m_normalWidth);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    QFont f = font();
    f.setFamily(QStringLiteral("Segoe UI"));
    f.setPixelSize(14);
    setFont(f);
}

void View::setModel(QAbstractItemModel* model)
{
    QTreeView::setModel(model);
}

void View::setMonitoring(bool on)
{
    if (on) {
        setMaximumWidth(m_monitoringWidth);
        setMinimumWidth(m_monitoringWidth);
        setColumnWidth(0, m_normalWidth);
        setColumnWidth(1, m_monitoringWidth - m_normalWidth);
    } else {
        setMaximumWidth(m_normalWidth);
        setMinimumWidth(m_normalWidth);
    }
}

void View::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    // A click on the tree that ends an entry typed elsewhere takes the focus first, and the edit
    // lands, with its rows selected anew, before the press reaches the tree. Scrolling to them
    // then would slide another row under the pointer, and the press would open that one. Like the
    // press itself, nothing moves the rows while the button that took the focus is down.
    if (hasFocus() && QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    QTreeView::scrollTo(index, hint);
}

void View::toggleExpanded(const QModelIndex& index)
{
    if (isExpanded(index)) {
        collapse(index);
        return;
    }
    expand(index);
    scrollTo(index, PositionAtCenter);
}

void View::collapseOthers(const QModelIndex& index)
{
    const bool wasExpanded = isExpanded(index);
    collapseAll();
    if (wasExpanded)
        expand(index);
}

bool View::allExpanded() const
{
    const QAbstractItemModel* m = model();
    if (!m)
        return true;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex index = m->index(row, 0);
        if (index.isValid() && !isExpanded(index))
            return false;
    }
    return true;
}

bool View::othersCollapsed(const QModelIndex& index) const
{
    const QAbstractItemModel* m = model();
    if (!m)
        return true;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex other = m->index(row, 0);
        if (other.isValid() && other != index && isExpanded(other))
            return false;
    }
    return true;
}

void View::selectRows(const QList<QModelIndex>& indexes)
{
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    selection->clearSelection();
    if (indexes.isEmpty())
        return;
    QItemSelection ranges;
    QModelIndex first = indexes.first();
    QModelIndex last = first;
    for (int i = 1; i <= indexes.size(); ++i) {
        const QModelIndex next = i < indexes.size() ? indexes.at(i) : QModelIndex();
        if (next.isValid() && next.parent() == last.parent() && next.row() == last.row() + 1) {
            last = next;
            continue;
        }
        ranges.select(first, last);
        first = last = next;
    }
    selection->select(ranges, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    scrollTo(indexes.first(), EnsureVisible);
}

bool View::inExpanderZone(const QPoint& point) const
{
    return QRect(0, 0, kExpanderZoneWidth, height()).contains(point);
}

bool& View::collapsedEntry(const QModelIndex& index)
{
    const QUuid id = index.data(Model::IdRole).toUuid();
    if (!id.isNull())
        return m_collapsedById[id];
    return m_collapsedByName[index.data().toString()];
}

void View::onLayoutAboutToBeChange()
{
    const QAbstractItemModel* m = model();
    if (!m)
        return;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex index = m->index(row, 0);
        collapsedEntry(index) = !isExpanded(index);
    }
}

void View::onLayoutChanged()
{
    const QAbstractItemModel* m = model();
    if (!m)
        return;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex index = m->index(row, 0);
        if (!collapsedEntry(index))
            expand(index);
    }
    spanNodeRows();
}

void View::spanNodeRows()
{
    // Group and device rows have no value of their own: in monitoring mode they run across the
    // value column instead of leaving an empty cell beside them.
    const QAbstractItemModel* m = model();
    for (int row = 0; m && row < m->rowCount(); ++row) {
        const QModelIndex top = m->index(row, 0);
        setFirstColumnSpanned(row, QModelIndex(), true);
        if (top.data(Model::ItemTypeRole).toInt() != Model::GroupItem)
            continue;
        for (int child = 0; child < m->rowCount(top); ++child)
            setFirstColumnSpanned(child, top, true);
    }
}

void View::markExpander(const QModelIndex& index, int state)
{
    model()->setData(index, state, Model::ExpanderRole);
    viewport()->repaint();
}

void View::mousePressEvent(QMouseEvent* event)
{
    m_pressed = QPersistentModelIndex();
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (inExpanderZone(event->pos()) && Model::isExpandable(index)) {
        markExpander(index, 3);
        m_pressed = index;
        return;
    }
    QTreeView::mousePressEvent(event);
}

void View::mouseReleaseEvent(QMouseEvent* event)
{
    const QPersistentModelIndex pressed = m_pressed;
    m_pressed = QPersistentModelIndex();
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (Model::isExpandable(index)) {
        markExpander(index, inExpanderZone(event->pos()) ? 2 : 1);
        if (pressed.isValid() && index == pressed) {
            toggleExpanded(index);
            return;
        }
    }
    QTreeView::mouseReleaseEvent(event);
}

void View::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || inExpanderZone(event->pos()))
        return;
    QTreeView::mouseDoubleClickEvent(event);
}

void View::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed.isValid())
        return;
    QTreeView::mouseMoveEvent(event);
}

} // namespace ResourceConfiguration
