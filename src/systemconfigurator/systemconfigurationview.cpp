#include "systemconfigurator/systemconfigurationview.h"

#include "model/device.h"
#include "systemconfigurator/treerole.h"
#include "widgets/layoutmetrics.h"
#include "widgets/utils/widgetutils.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>

namespace SystemConfiguration {

namespace {

constexpr int slotWidth = 18;

// Right-hand buttons in the order they take their slots from the right edge.
constexpr int rightButtons[] = {CloseButtonRole, EditButtonRole, MoveButtonRole};

RowButton record(int stateRole, int rectRole)
{
    RowButton button;
    button.stateRole = stateRole;
    button.rectRole = rectRole;
    return button;
}

} // namespace

View::View(QWidget* parent)
    : QTreeView(parent)
{
    setMaximumWidth(panelWidthSmall());
    setMinimumWidth(maximumWidth());
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMouseTracking(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::InternalMove);
    setExpandsOnDoubleClick(true);
    setRootIsDecorated(false);
    setHeaderHidden(true);
    setIndentation(0);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::Base, Qt::white);
    p.setBrush(QPalette::All, QPalette::Text, QColor(0x44484e));
    p.setBrush(QPalette::All, QPalette::Highlight, QColor(0xb2d4ea));
    setPalette(p);
    setFont(makeFont(QStringLiteral("Segoe UI"), 14));
}

void View::resetButtons()
{
    buttonRow = QModelIndex();
    pressedGroup = QModelIndex();
    dropTarget = QModelIndex();
    dragSource = QModelIndex();
    createButtons();
}

void View::createButtons()
{
    buttons.clear();
    buttons.insert(GroupRowRole, record(GroupRowRole, GroupToggleRectRole));
    buttons.insert(EditButtonRole, record(EditButtonRole, EditButtonRectRole));
    buttons.insert(CloseButtonRole, record(CloseButtonRole, CloseButtonRectRole));
    buttons.insert(MoveButtonRole, record(MoveButtonRole, MoveButtonRectRole));
}

int View::selectedRowCount() const
{
    return selectionModel() ? selectionModel()->selectedRows(0).size() : 0;
}

void View::chooseButtons(const QModelIndex& index)
{
    const int kind = index.data(KindRole).toInt();
    const bool addRow = index.data(AddRowRole).toInt() != 0;
    // A group's closing spacer names no device: nothing to edit, remove or move there.
    const bool spacer = index.data(GroupEndRole).toInt() != 0;
    const bool several = selectedRowCount() > 1;
    const bool firstRow = !index.parent().isValid() && index.row() == 0;
    buttons[EditButtonRole].state =
        kind != Device::PlcClass && kind != GroupKind && !several && !spacer;
    buttons[CloseButtonRole].state = !firstRow && !addRow && !several && !spacer;
    buttons[MoveButtonRole].state = !firstRow && !addRow && kind != GroupKind && !several && !spacer;
    buttons[GroupRowRole].state = kind == GroupKind;
}

void View::layoutButtons()
{
    const int w = viewport()->width();
    const int h = viewport()->height();
    int k = 0;
    for (const int role : rightButtons) {
        RowButton& button = buttons[role];
        if (button.state == 0)
            continue;
        button.rect = QRect(QPoint(w - 21 - slotWidth * k, 0), QPoint(w - 4 - slotWidth * k, h - 1));
        ++k;
    }
    RowButton& toggle = buttons[GroupRowRole];
    if (toggle.state != 0)
        toggle.rect = QRect(QPoint(2, 0), QPoint(19, h - 1));
}

void View::markHoveredButton(const QPoint& position)
{
    for (RowButton& button : buttons) {
        if (button.state != 0)
            button.state = button.rect.contains(position) ? 2 : 1;
    }
}

void View::publishButtons(const QModelIndex& index)
{
    QAbstractItemModel* m = model();
    if (!m)
        return;
    for (const RowButton& button : qAsConst(buttons)) {
        m->setData(index, button.state, button.stateRole);
        m->setData(index, button.rect, button.rectRole);
    }
}

bool View::updateHover(const QModelIndex& index, const QPoint& position)
{
    if (index != buttonRow) {
        for (RowButton& button : buttons)
            button.state = 0;
        buttonRow = index;
    }
    chooseButtons(index);
    layoutButtons();
    markHoveredButton(position);
    publishButtons(index);
    return true;
}

bool View::hitTest(const QPoint& position, const QModelIndex& index, bool pressed)
{
    for (RowButton& button : buttons) {
        if (button.state != 0 && button.rect.contains(position)) {
            button.state = pressed ? 3 : 2;
            publishButtons(index);
            return true;
        }
    }
    return false;
}

bool View::hits(const RowButton& button, const QPoint& position, int state) const
{
    return button.state == state && button.rect.contains(position);
}

void View::pressButton(const QPoint& position, const QModelIndex& index)
{
    pressedGroup = QModelIndex();
    if (!index.isValid())
        return;
    for (auto it = buttons.cbegin(); it != buttons.cend(); ++it) {
        if (!hits(it.value(), position, 3))
            continue;
        if (it.key() == GroupRowRole) {
            pressedGroup = index;
            return;
        }
        if (it.key() == EditButtonRole) {
            edit(index);
            return;
        }
        if (it.key() == MoveButtonRole)
            setDragEnabled(true);
    }
}

void View::releaseButton(const QPoint& position, const QModelIndex& index)
{
    setDragEnabled(false);
    if (!index.isValid())
        return;
    for (auto it = buttons.cbegin(); it != buttons.cend(); ++it) {
        if (!hits(it.value(), position, 2))
            continue;
        if (it.key() == GroupRowRole && index == pressedGroup) {
            toggleExpanded(pressedGroup);
            return;
        }
        if (it.key() == CloseButtonRole) {
            emit deleteIt(index);
            return;
        }
    }
}

bool View::buttonAt(int role, const QPoint& position) const
{
    return buttons.value(role).rect.contains(position);
}

void View::toggleExpanded(const QModelIndex& index)
{
    if (isExpanded(index)) {
        collapse(index);
        return;
    }
    expand(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
}

bool View::onlyThisExpanded(const QTreeView& view, const QModelIndex& index)
{
    const QAbstractItemModel* m = view.model();
    if (!m)
        return true;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex top = m->index(row, 0);
        if (top != index && m->hasChildren(top) && view.isExpanded(top))
            return false;
    }
    return true;
}

void View::collapseOther(QModelIndex index)
{
    const bool wasExpanded = isExpanded(index);
    collapseAll();
    if (wasExpanded)
        expand(index);
}

void View::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->pos();
    const QModelIndex row = indexAt(position);
    if (!row.isValid())
        return;
    if (event->button() == Qt::LeftButton)
        pressPos = position;
    // The press finds the buttons drawn under it even when the tree was rebuilt since the
    // pointer last moved: a click here that ends an entry typed elsewhere rebuilds the tree
    // with that edit before the press arrives.
    updateHover(row, position);
    if (hitTest(position, row, true))
        pressButton(position, row);
    else
        QTreeView::mousePressEvent(event);
    viewport()->update();
}

void View::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    const QPoint position = event->pos();
    const QModelIndex row = indexAt(position);
    if (!row.isValid())
        return;
    if (hitTest(position, row, false))
        releaseButton(position, row);
    viewport()->update();
}

void View::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->pos();
    const QModelIndex row = indexAt(position);
    if (!row.isValid())
        return;
    const bool drag = dragEnabled();
    const bool left = event->buttons() & Qt::LeftButton;
    if (drag && !left)
        setDragEnabled(false);
    updateHover(row, position);
    if (left && selectedRowCount() <= 1 && drag) {
        if ((position - pressPos).manhattanLength() >= QApplication::startDragDistance())
            tryStartDrag(pressPos);
        return;
    }
    viewport()->update();
    QTreeView::mouseMoveEvent(event);
}

void View::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = event->pos();
    if (buttonAt(GroupRowRole, position))
        return;
    const QModelIndex row = indexAt(position);
    if (!row.isValid())
        return;
    if (row.data(KindRole).toInt() == GroupKind)
        edit(row);
    else if (row.data(AddRowRole).toInt() == 1 && !buttonAt(EditButtonRole, position))
        edit(row);
    QTreeView::mouseDoubleClickEvent(event);
}

void View::leaveEvent(QEvent* event)
{
    pressedGroup = QModelIndex();
    emit entered(QModelIndex());
    QTreeView::leaveEvent(event);
}

} // namespace SystemConfiguration
