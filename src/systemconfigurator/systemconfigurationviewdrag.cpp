// Dragging rows of the system tree by their move handle and the expanded state of groups kept
// across rebuilds. Where a row may be dropped is decided beside the order a drop makes, in the
// model's bus rules.
#include "systemconfigurator/systemconfigurationview.h"

#include "systemconfigurator/treerole.h"

#include <QCursor>
#include <QDrag>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QPainter>
#include <QUuid>

namespace SystemConfiguration {

namespace {

const QString mimeType = QStringLiteral("application/mdodel.index");

} // namespace

bool View::isDraggable(const QModelIndex& row)
{
    return row.data(AddRowRole).toInt() == 0 && row.data(KindRole).toInt() != GroupKind;
}

bool View::isDropAllowed(const QModelIndex& target) const
{
    return target.isValid() && isDraggable(target) && canMoveTo(target);
}

bool View::tryStartDrag(const QPoint& position)
{
    const QModelIndex row = indexAt(position);
    // A group's closing spacer takes drops but names no device to move.
    if (!row.isValid() || !isDraggable(row) || row.data(GroupEndRole).toInt() != 0)
        return false;
    dragSource = row;
    emit startMove(dragSource);
    beginRowDrag(dragSource);
    return true;
}

void View::beginRowDrag(const QModelIndex& source)
{
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(mimeType, source.data(Qt::DisplayRole).toString().toLocal8Bit());
    drag->setMimeData(mime);
    drag->setPixmap(dragPixmap(source));
    const QRect r = visualRect(source);
    const QPoint cursor = viewport()->mapFromGlobal(QCursor::pos());
    drag->setHotSpot(QPoint(cursor.x() - r.left() - 120, (r.bottom() - r.top() + 1) / 2));
    const Qt::DropAction result = drag->exec(Qt::MoveAction);
    emit finishMove(dragSource, result != Qt::IgnoreAction ? dropTarget : QModelIndex());
    dragSource = QModelIndex();
    dropTarget = QModelIndex();
    setDragEnabled(false);
}

QPixmap View::dragPixmap(const QModelIndex& row) const
{
    const QRect r = visualRect(row);
    QPixmap pixmap(qMax(1, r.width() - 67), qMax(1, r.height() - 2));
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const QRect box(QPoint(0, 0), QPoint(pixmap.width() - 2, pixmap.height() - 2));
    painter.setPen(QColor(0x2b2d30));
    painter.setBrush(QColor(0x555a60));
    painter.drawRect(box);
    painter.setFont(font());
    painter.setPen(Qt::white);
    painter.drawText(box.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     row.data(Qt::DisplayRole).toString());
    return pixmap;
}

void View::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void View::dragMoveEvent(QDragMoveEvent* event)
{
    const QModelIndex target = indexAt(event->posF().toPoint());
    if (isDropAllowed(target)) {
        event->acceptProposedAction();
        if (target != dropTarget) {
            dropTarget = target;
            emit moveDest(dropTarget);
        }
        return;
    }
    event->ignore();
    if (dropTarget.isValid()) {
        dropTarget = QModelIndex();
        emit moveDest(dropTarget);
    }
}

void View::dragLeaveEvent(QDragLeaveEvent* event)
{
    dropTarget = QModelIndex();
    emit moveDest(dropTarget);
    event->accept();
}

void View::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
}

void View::saveExpandedGroups()
{
    const QAbstractItemModel* m = model();
    if (!m)
        return;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex top = m->index(row, 0);
        if (m->hasChildren(top))
            collapsedGroups[top.data(Qt::DisplayRole).toString()] = !isExpanded(top);
    }
}

void View::restoreExpandedGroups()
{
    const QAbstractItemModel* m = model();
    if (!m)
        return;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex top = m->index(row, 0);
        if (!m->hasChildren(top))
            continue;
        const bool collapsed = collapsedGroups.value(top.data(Qt::DisplayRole).toString(), false);
        collapsedGroups.insert(top.data(Qt::DisplayRole).toString(), collapsed);
        setExpanded(top, !collapsed);
    }
}

} // namespace SystemConfiguration
