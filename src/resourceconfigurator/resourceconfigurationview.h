#pragma once

#include <QMap>
#include <QPersistentModelIndex>
#include <QString>
#include <QTreeView>
#include <QUuid>

namespace ResourceConfiguration {

// The resource tree's view: fixed width (wider in monitoring mode), no header, no indentation;
// group and device rows fold with a click in a zone at the left edge instead of a branch arrow,
// and the top-level rows keep their folding across rebuilds and re-filtering.
class View : public QTreeView
{
    Q_OBJECT

public:
    explicit View(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void setMonitoring(bool on);
    // Ending an entry never moves the tree under the pointer: while a mouse button is down on the
    // tree that has the focus, the tree stays where it is.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void toggleExpanded(const QModelIndex& index);
    void collapseOthers(const QModelIndex& index);
    bool allExpanded() const;
    bool othersCollapsed(const QModelIndex& index) const;
    // Selects exactly the given rows: one range per run of adjacent rows under one parent, so
    // rows between two chosen ones stay unselected.
    void selectRows(const QList<QModelIndex>& indexes);
    bool inExpanderZone(const QPoint& point) const;
    void spanNodeRows();

public slots:
    void onLayoutAboutToBeChange();
    void onLayoutChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Points to the top-level row's entry in one of the two maps, added as false when missing.
    bool& collapsedEntry(const QModelIndex& index);
    void markExpander(const QModelIndex& index, int state);

    // Persistent: a rebuild or a re-filtering between press and release must not leave a
    // dangling index behind.
    QPersistentModelIndex m_pressed;
    int m_normalWidth;
    int m_monitoringWidth;
    QMap<QUuid, bool> m_collapsedById;
    QMap<QString, bool> m_collapsedByName;
};

} // namespace ResourceConfiguration
