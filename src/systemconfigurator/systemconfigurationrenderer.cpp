#include "systemconfigurator/systemconfigurationrenderer.h"

#include "model/device.h"
#include "resourceconfigurator/resourcepictures.h"
#include "systemconfigurator/systemedits.h"
#include "systemconfigurator/treerole.h"
#include "widgets/layoutmetrics.h"

#include <QPainter>

#include <climits>

namespace SystemConfiguration {

namespace {

const QColor selectedRow(0x555a60);
const QColor groupRowColour(0x2b78e4);
const QColor selectedGroupRow(0x383b3f);
const QColor textOnDark(0xffffff);
const QColor buttonHighlight(0x088db4);

const QString iconPath = QStringLiteral(":/icons/resources/icons/spec/");

RowButton makeButton(int stateRole, const QString& picture)
{
    RowButton button;
    button.icon = QIcon(iconPath + picture);
    button.stateRole = stateRole;
    button.highlight = buttonHighlight;
    return button;
}

} // namespace

// The controller and module pictures are the resource tree's.
Renderer::Renderer(QObject* parent)
    : QStyledItemDelegate(parent)
    , moduleIcon((initResourcePictures(), iconPath + QStringLiteral("pex.png")))
    , controllerIcon(iconPath + QStringLiteral("tav.png"))
{
    buttons.insert(CloseButtonRole, makeButton(CloseButtonRole, QStringLiteral("close24.png")));
    buttons.insert(EditButtonRole, makeButton(EditButtonRole, QStringLiteral("menu16.png")));
    buttons.insert(MoveButtonRole, makeButton(MoveButtonRole, QStringLiteral("move.png")));
}

QSize Renderer::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    int height = 8;
    if (index.data(GroupEndRole).toInt() == 0)
        height += 22;
    if (index.data(DropTargetRole).toInt() != 0)
        height += 30;
    return QSize(50, height);
}

void Renderer::paint(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index) const
{
    if (!index.isValid() || !painter)
        return;
    const int kind = index.data(KindRole).toInt();
    const bool addRow = isAddRow(index);
    const bool dropTarget = index.data(DropTargetRole).toInt() != 0;
    const bool spacer = index.data(GroupEndRole).toInt() != 0;
    const QModelIndex owner = index.data(OwnerIndexRole).toModelIndex();
    // A controller's modules travel with it, so they are painted as dragged too.
    const bool dragged = index.data(DragSourceRole).toInt() != 0
        || (owner.isValid() && owner.data(DragSourceRole).toInt() != 0);

    const bool groupRow = kind == GroupKind && !addRow;
    const bool inGroup = index.parent().isValid();
    const bool indented = inGroup || (index.row() > 0 && kind != NoDeviceKind && kind != GroupKind);
    const bool parentSelected = inGroup && selection.contains(index.parent());
    const QColor baseText = groupRow ? textOnDark
                                     : option.palette.color(QPalette::Current, QPalette::Text);
    QRect row = option.rect;
    if (dropTarget)
        row.setBottom(row.bottom() - 30);

    painter->save();
    QRect content;
    QRect frame;
    calcItemFrameRects(spacer ? row : option.rect, content, frame, groupRow, inGroup, spacer,
                       dropTarget);
    drawItemBackground(painter, option, content, frame,
                       rowColors(option, groupRow, dragged, dropTarget, spacer), parentSelected,
                       false, 0);
    const bool showButtons = !dragged && (option.state & QStyle::State_MouseOver);
    if (showButtons)
        paintButtons(painter, index, content);

    QRect text;
    QRect arrow;
    QRect icon;
    calcItemRects(row, text, arrow, icon, false, addRow, indented);
    if (showButtons)
        text.setRight(qMin(text.right(), buttonsLeft() - 4));
    if (index.data(GroupRowRole).toInt() != 0)
        drawItemIndicator(painter, option, arrow, true);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(!groupRow && (!selected || dragged) ? textColor(index, baseText, dragged)
                                                        : textOnDark);
    if (!addRow && !spacer)
        drawIcon(painter, icon, index);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(rowText(index), Qt::ElideRight, text.width()));
    painter->restore();
}

QColor Renderer::rowColors(const QStyleOptionViewItem& option, bool groupRow, bool dragged,
                           bool dropTarget, bool spacer) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QColor base = selected && !dragged && !spacer
        ? selectedRow
        : option.palette.color(QPalette::Current, QPalette::Base);
    if (groupRow) {
        if (dropTarget)
            return base;
        return selected ? selectedGroupRow : groupRowColour;
    }
    if ((option.state & QStyle::State_MouseOver) && !selected && !dragged && !spacer)
        return option.palette.color(QPalette::Current, QPalette::Highlight);
    return base;
}

QColor Renderer::textColor(const QModelIndex& index, const QColor& base, bool dragged) const
{
    if (isAddRow(index))
        return Qt::darkGray;
    if (dragged)
        return Qt::red;
    return base;
}

bool Renderer::isAddRow(const QModelIndex& index)
{
    return index.data(AddRowRole).toInt() != 0;
}

QString Renderer::rowText(const QModelIndex& index)
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (index.data(KindRole).toInt() == GroupKind && !isAddRow(index))
        return SystemEdits::groupDisplayName(text);
    return text;
}

void Renderer::layoutRow(const QModelIndex& index) const
{
    static const int roles[][2] = {{MoveButtonRole, MoveButtonRectRole},
                                   {CloseButtonRole, CloseButtonRectRole},
                                   {EditButtonRole, EditButtonRectRole}};
    for (const auto& pair : roles) {
        RowButton& button = buttons[pair[0]];
        button.state = index.data(pair[0]).toInt();
        button.rect = index.data(pair[1]).toRect();
    }
}

void Renderer::paintButtons(QPainter* painter, const QModelIndex& index, const QRect& row) const
{
    layoutRow(index);
    drawButton(painter, buttons.value(CloseButtonRole), row);
    drawButton(painter, buttons.value(MoveButtonRole), row);
    drawButton(painter, buttons.value(EditButtonRole), row);
}

int Renderer::buttonsLeft() const
{
    int left = INT_MAX;
    for (const RowButton& button : buttons) {
        if (button.state != 0 && button.rect.isValid())
            left = qMin(left, button.rect.left());
    }
    return left;
}

void Renderer::drawButton(QPainter* painter, const RowButton& button, const QRect& row)
{
    if (button.state == 0)
        return;
    const QRect area(QPoint(button.rect.left(), row.top()), QPoint(button.rect.right(), row.bottom()));
    if (button.state == 2 || button.state == 3)
        painter->fillRect(area, button.highlight);
    const QSize room(area.width() - 2, area.height() - 4);
    const QPixmap pixmap = button.icon.pixmap(button.icon.actualSize(room));
    painter->drawPixmap(area.left() + (area.width() - pixmap.width()) / 2,
                        area.top() + (area.height() - pixmap.height()) / 2, pixmap);
}

void Renderer::drawIcon(QPainter* painter, const QRect& cell, const QModelIndex& index) const
{
    const int kind = index.data(KindRole).toInt();
    if (kind == NoDeviceKind || kind == GroupKind)
        return;
    const QIcon& icon = kind <= Device::TavClass ? controllerIcon : moduleIcon;
    const QPixmap pixmap = icon.pixmap(icon.actualSize(cell.size()), QIcon::Normal, QIcon::Off);
    painter->drawPixmap(cell.right() - pixmap.width(),
                        cell.top() + (cell.height() - pixmap.height()) / 2, pixmap);
}

void Renderer::setSelection(const QModelIndexList& rows)
{
    if (rows != selection)
        selection = rows;
}

} // namespace SystemConfiguration
