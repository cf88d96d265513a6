#pragma once

#include "systemconfigurator/rowbutton.h"

#include <QMap>
#include <QModelIndex>
#include <QPixmap>
#include <QTreeView>

namespace SystemConfiguration {

// The tree of the system page. The row under the pointer gets up to four buttons drawn inside it
// (edit, close, move handle, group toggle): the view decides which are shown, where they lie and
// which one is hovered or pressed, writes that into the model's button roles for the renderer, and
// turns clicks on them into actions. A row is dragged by its move handle; where it may be dropped
// follows the bus rules, and the model turns the final pair of rows into a new bus order.
class View : public QTreeView
{
    Q_OBJECT

public:
    explicit View(QWidget* parent = nullptr);

    void resetButtons();
    // True when no top-level row with children other than `index` is expanded in `view`.
    static bool onlyThisExpanded(const QTreeView& view, const QModelIndex& index);
    bool onlyThisExpanded(const QModelIndex& index) const { return onlyThisExpanded(*this, index); }
    void toggleExpanded(const QModelIndex& index);

    // Drag and drop.
    static bool isDraggable(const QModelIndex& row);
    bool canMoveTo(const QModelIndex& target) const { return canMoveTo(dragSource, target); }
    static bool canMoveTo(const QModelIndex& source, const QModelIndex& target);
    bool isDropAllowed(const QModelIndex& target) const;
    bool tryStartDrag(const QPoint& pressPos);
    void beginRowDrag(const QModelIndex& source);
    QPixmap dragPixmap(const QModelIndex& row) const;

    void saveExpandedGroups();
    void restoreExpandedGroups();

signals:
    void startMove(const QModelIndex& source);
    void moveDest(const QModelIndex& target);
    void finishMove(const QModelIndex& source, const QModelIndex& target);
    void deleteIt(const QModelIndex& row);

public slots:
    void hasGroups(bool groups) { groupsPresent = groups; }
    void collapseOther(QModelIndex index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Rows are dragged only by their move handle (beginRowDrag), never by the base class.
    void startDrag(Qt::DropActions) override {}

private:
    void createButtons();
    void chooseButtons(const QModelIndex& index);
    void layoutButtons();
    void markHoveredButton(const QPoint& position);
    void publishButtons(const QModelIndex& index);
    bool updateHover(const QModelIndex& index, const QPoint& position);
    bool hitTest(const QPoint& position, const QModelIndex& index, bool pressed);
    void pressButton(const QPoint& position, const QModelIndex& index);
    void releaseButton(const QPoint& position, const QModelIndex& index);
    bool buttonAt(int role, const QPoint& position) const;
    bool hits(const RowButton& button, const QPoint& position, int state) const;
    int selectedRowCount() const;

    QMap<QString, bool> collapsedGroups;
    QModelIndex buttonRow;
    QModelIndex pressedGroup;
    QModelIndex dropTarget;
    QModelIndex dragSource;
    QPoint pressPos;
    bool groupsPresent = false;
    QMap<int, RowButton> buttons;
};

} // namespace SystemConfiguration
