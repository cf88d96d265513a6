#pragma once

#include <QList>
#include <QPersistentModelIndex>
#include <QSet>
#include <QSortFilterProxyModel>

namespace ResourceConfiguration {
class Model;
}

// Sits between the resource tree and its view: hides resource kinds (the filter panel) and single
// rows (the context menu), never shows serial ports or the second input of a coupled pair, drops
// top-level rows left with nothing to show, and orders each device's resources by kind and number.
class FilteringProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FilteringProxyModel(QObject* parent = nullptr);

    bool hasFilter() const;
    void resetFilters(bool kinds, bool indexes);
    // The resource test; takes indexes of this proxy or of its source model.
    bool acceptIndex(const QModelIndex& index) const;
    // Whether the filters hide at least one of these source rows.
    bool wouldHide(const QList<QModelIndex>& sourceIndexes) const;
    void setSourceModel(QAbstractItemModel* source) override;

signals:
    void setFilter(bool active);

public slots:
    void doFilterIndex(const QList<QModelIndex>& indexes, bool hide);
    void doFilterType(const QList<int>& kinds, bool hide);
    void resetAllFilters();

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    // A column-0 cell of the resource tree, whose facts the tree gives without the roles.
    bool fromTree(const QModelIndex& source) const;

    // The source when it is the resource tree.
    const ResourceConfiguration::Model* m_tree = nullptr;
    QSet<int> m_hiddenKinds;
    // Persistent, so a row hidden before the source model moves or drops rows is never mistaken
    // for another; a rebuild empties the set anyway.
    QSet<QPersistentModelIndex> m_hiddenIndexes;
};
