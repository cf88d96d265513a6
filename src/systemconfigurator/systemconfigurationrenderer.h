#pragma once

#include "model/devicetype.h"
#include "systemconfigurator/rowbutton.h"

#include <QIcon>
#include <QMap>
#include <QModelIndexList>
#include <QSet>
#include <QStyledItemDelegate>

class DeviceSelector;

namespace SystemConfiguration {

// Paints the rows of the system tree from the model's roles (groups, devices, group spacers, the
// add row, and the row buttons the view placed on the hovered row), gives rows their heights, and
// creates the row editors: a line edit for a group's name, a device selector pop-up for a device
// row or the add row.
class Renderer : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit Renderer(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The text a row shows: a new group's default name in the interface's language.
    static QString rowText(const QModelIndex& index);

    // What the type editor offers.
    static QSet<int> allowedClasses(int kind, bool addRow, bool notFirstRow);
    static QList<DeviceType_t> addableTypes(int budget, const QSet<int>& classes, bool addRow);
    static QList<DeviceType_t> compatibleTypes(const QList<DeviceType_t>& candidates,
                                               const QModelIndex& index);
    static void setupSelector(DeviceSelector* selector, const QModelIndex& index, int ownPower,
                              int budget);

signals:
    void editorEnter(DeviceType_t type, HardwareVersion revision, int supply, int system,
                     int modules);
    void editorClose();

public slots:
    void setSelection(const QModelIndexList& rows);
    void commitAndCloseEditor(DeviceType_t type, HardwareVersion revision);

private:
    QColor rowColors(const QStyleOptionViewItem& option, bool groupRow, bool dragged,
                     bool dropTarget, bool spacer) const;
    QColor textColor(const QModelIndex& index, const QColor& base, bool dragged) const;
    static bool isAddRow(const QModelIndex& index);
    void layoutRow(const QModelIndex& index) const;
    void paintButtons(QPainter* painter, const QModelIndex& index, const QRect& row) const;
    // The left edge of the row's buttons as last laid out; INT_MAX when none is shown.
    int buttonsLeft() const;
    static void drawButton(QPainter* painter, const RowButton& button, const QRect& row);
    void drawIcon(QPainter* painter, const QRect& cell, const QModelIndex& index) const;

    // Scratch space: loaded from the roles of each row about to be painted.
    mutable QMap<int, RowButton> buttons;
    QIcon moduleIcon;
    QIcon controllerIcon;
    QModelIndexList selection;
};

} // namespace SystemConfiguration
